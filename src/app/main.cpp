#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMessageBox>
#include <QPalette>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "app/application_id.h"
#include "app/options.h"
#include "app/session_type.h"
#include "app/single_instance.h"
#include "app/tray_icon.h"
#include "base/log.h"
#include "platform/x11/qt_work_area_throttle.h"
#include "platform/x11/x11_backend.h"
#include "platform/x11/x11_scale.h"
#include "settings/defaults.h"
#include "settings/settings.h"

namespace {

using marrowick::App;
using marrowick::Options;

// An XDG base folder: the variable when it holds an absolute path, else the home's fallback.
std::filesystem::path xdgDir(const char* variable, const char* fallback) {
    const char* v = std::getenv(variable);
    if (v != nullptr && *v == '/') return v;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/") / fallback;
}

constexpr double settingsWriteDelay = 0.5;
// Changes to the settings file are read once it has been quiet this long: an editor's save
// comes as several events.
constexpr int settingsSettleMs = 100;

// The write end of the pipe that carries signals into the event loop.
int signalWriteEnd = -1;

void onQuitSignal(int signal) {
    const int saved = errno;
    const auto byte = static_cast<char>(signal);
    (void)!::write(signalWriteEnd, &byte, 1);
    errno = saved;
}

// TERM, INT and HUP (a logout, a shutdown, Ctrl-C) end Marrowick as its Quit entry does, so
// pending settings are written first.
std::unique_ptr<QSocketNotifier> quitOnSignals() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
    signalWriteEnd = ends[1];
    auto notifier = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [readEnd = ends[0]] {
        char byte = 0;
        while (::read(readEnd, &byte, 1) == 1) marrowick::note("quitting on signal " + std::to_string(byte));
        QApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return notifier;
}

// The store whose pending changes an exit that skips the normal quit still writes: Qt's own
// exit when the X server goes away.
marrowick::Defaults* storeAtExit = nullptr;

void flushAtExit() {
    if (storeAtExit != nullptr) storeAtExit->flush();
}

QString localPath(const std::filesystem::path& path) { return QFile::decodeName(QByteArray(path.c_str())); }

// Takes in what other programs write to the settings file. Its folder is watched for the file
// being replaced or removed, the file itself for writes in place; tookIn runs when a value read
// changed.
std::unique_ptr<QFileSystemWatcher> watchSettings(marrowick::Defaults& store, std::function<void()> tookIn) {
    if (!store.file()) return nullptr;
    const QString file = localPath(*store.file());
    const QString folder = localPath(store.file()->parent_path());
    auto watcher = std::make_unique<QFileSystemWatcher>();
    QFileSystemWatcher* w = watcher.get();
    const auto rewatch = [w, file, folder] {
        // A file replaced by a rename is another file: the old one's watch went with it.
        if (!w->files().contains(file) && QFileInfo::exists(file)) w->addPath(file);
        if (!w->directories().contains(folder) && QFileInfo::exists(folder)) w->addPath(folder);
    };
    rewatch();
    auto* settle = new QTimer(w);  // owned by the watcher
    settle->setSingleShot(true);
    settle->setInterval(settingsSettleMs);
    QObject::connect(w, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
    QObject::connect(w, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    QObject::connect(settle, &QTimer::timeout, w, [&store, rewatch, tookIn = std::move(tookIn)] {
        rewatch();
        if (store.reload()) tookIn();
    });
    return watcher;
}

// This process's binary as the kernel names it, whatever its bytes; empty when unknown.
std::filesystem::path runningBinary() {
    std::error_code ec;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec) return {};
    // Replaced by an upgrade while running: the name is still where the binary is.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
    return path;
}

// In a Wayland session Marrowick could move no window: it says so on standard error, in the log
// and, where an X display (XWayland) can show one, in a dialog, instead of sitting in the tray
// doing nothing.
int refuseWayland(int argc, char** argv) {
    const std::string message(marrowick::waylandMessage);
    std::cerr << "marrowick: " << message << '\n';
    marrowick::removeLog();
    marrowick::note(message);
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return 1;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication qapp(argc, argv);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Marrowick"), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string invalid;
    const std::optional<Options> parsed = Options::parse(args, invalid);
    if (!parsed) {
        std::cerr << "marrowick: " << invalid << "\n\n" << marrowick::usage();
        return 2;
    }
    const Options& options = *parsed;
    if (options.help) {
        std::cout << marrowick::usage();
        return 0;
    }
    if (options.version) {
        std::cout << "Marrowick " << MARROWICK_VERSION << '\n';
        return 0;
    }
    const std::filesystem::path stateDir = xdgDir("XDG_STATE_HOME", ".local/state");
    std::error_code ec;
    std::filesystem::create_directories(stateDir, ec);
    marrowick::setLogPath(stateDir / "Marrowick.log");

    switch (marrowick::sessionType(marrowick::SessionVariables::fromEnvironment())) {
        case marrowick::SessionType::wayland:
            return refuseWayland(argc, argv);
        case marrowick::SessionType::none:
            std::cerr << "marrowick: no X display (DISPLAY is not set); it runs in an X11 desktop session\n";
            return 1;
        case marrowick::SessionType::x11:
            break;
    }
    const char* display = std::getenv("DISPLAY");
    // The windows are X11 ones, scaled by Qt for each monitor as the core scales what it draws
    // (x11_scale.h); GDK_SCALE, which Qt does not read, is handed to it where nothing else says
    // anything.
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (auto conn = marrowick::x11::Connection::open(display)) {
        const auto scales = marrowick::x11::ScaleSettings::fromEnvironment(
            marrowick::x11::readXftDpi(*conn, marrowick::x11::deadlineIn(0.5)));
        if (const auto hint = marrowick::x11::qtScaleFactorHint(scales)) qputenv("QT_SCALE_FACTOR", hint->c_str());
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marrowick"));
    QApplication::setApplicationVersion(QStringLiteral(MARROWICK_VERSION));
    QApplication::setDesktopFileName(QString::fromUtf8(marrowick::applicationId));
    QApplication::setQuitOnLastWindowClosed(false);
    // The installed icon when the icon theme has it, else the tray's drawing.
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromUtf8(marrowick::applicationId), marrowick::trayIcon()));

    App* delegate = nullptr;
    // Without a place for the lock, or a running instance that does not answer, this launch
    // cannot tell whether it is the only one: it says so and stops.
    std::string problem;
    const auto runtimeDir = marrowick::SingleInstance::runtimeDir(problem);
    // A later launch's options act here; a request that is not a launch's is only logged.
    const auto reopen = [&delegate](const std::vector<std::string>& given) {
        const std::vector<std::string_view> words(given.begin(), given.end());
        std::string why;
        const auto forwarded = Options::parse(words, why);
        if (!forwarded) {
            marrowick::note("reopen request ignored: " + why);
        } else if (delegate != nullptr) {
            delegate->applicationShouldHandleReopen(*forwarded);
        }
    };
    auto acquired = runtimeDir ? marrowick::SingleInstance::acquire(*runtimeDir, options.forwarded(), reopen)
                               : marrowick::SingleInstance::Acquired{nullptr, problem};
    if (acquired.problem) {
        std::cerr << "marrowick: " << *acquired.problem << '\n';
        marrowick::note(*acquired.problem);
        return 1;
    }
    if (!acquired.instance) return 0;  // the running one was told to reopen
    // This instance runs without its socket: said now, and in the log once the launch has cleared it.
    const auto& unreachable = acquired.instance->listenProblem();
    if (unreachable) std::cerr << "marrowick: " << *unreachable << '\n';

    auto backend = marrowick::x11::X11Backend::open(
        display,
        marrowick::XdgLoginItems(marrowick::XdgLoginItems::defaultAutostartDir(), std::string(marrowick::applicationId),
                                 marrowick::XdgLoginItems::binaryToStart(runningBinary(), MARROWICK_INSTALLED_BINARY)));
    if (!backend) {
        std::cerr << "marrowick: cannot use the X display " << display << " (it needs XInput 2 and XKB)\n";
        return 1;
    }
    const auto workAreaThrottle = marrowick::x11::QtWorkAreaThrottle::install();
    const std::filesystem::path settingsFile = xdgDir("XDG_CONFIG_HOME", ".config") / "marrowick" / "settings.json";
    std::filesystem::create_directories(settingsFile.parent_path(), ec);  // so that it can be watched
    marrowick::Defaults store(settingsFile);
    store.deferWritesWith([&backend](std::function<void()> write) {
        // The store outlives the event loop, so a pending write needs no owner.
        backend->scheduler().after(settingsWriteDelay, std::move(write)).detach();
    });
    const auto quitSignals = quitOnSignals();
    storeAtExit = &store;
    std::atexit(flushAtExit);
    marrowick::Settings::install(store, backend->screens());
    // Outlines in the desktop's accent colour: the grey of the original look cannot be seen on a
    // grey or white desktop. Stored colours still win.
    const QColor accent = QGuiApplication::palette().color(QPalette::Highlight);
    marrowick::Settings::registerDefaults(marrowick::Color{accent.redF(), accent.greenF(), accent.blueF(), 1.0});

    App app(*backend, options, MARROWICK_VERSION);
    delegate = &app;
    const auto watcher = watchSettings(store, [&app] {
        marrowick::note("settings changed on disk; taken in");
        app.settingsChangedOnDisk();
    });
    QTimer::singleShot(0, [&app, &unreachable] {
        app.applicationDidFinishLaunching();
        if (unreachable) marrowick::note(*unreachable);
    });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, [&store] { store.flush(); });
    const int status = QApplication::exec();
    storeAtExit = nullptr;  // the store goes with this scope, and writes then
    return status;
}
