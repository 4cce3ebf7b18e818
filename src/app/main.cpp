#include <QApplication>
#include <QMessageBox>
#include <QTimer>
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
#include "platform/x11/x11_backend.h"
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
    const Options options = Options::parse(args);
    if (options.help) {
        std::cout << marrowick::usage;
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
    // One point is one X pixel, and the windows are X11 ones.
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");

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
    auto acquired = runtimeDir ? marrowick::SingleInstance::acquire(*runtimeDir,
                                                                    [&delegate] {
                                                                        if (delegate != nullptr)
                                                                            delegate->applicationShouldHandleReopen();
                                                                    })
                               : marrowick::SingleInstance::Acquired{nullptr, problem};
    if (acquired.problem) {
        std::cerr << "marrowick: " << *acquired.problem << '\n';
        marrowick::note(*acquired.problem);
        return 1;
    }
    if (!acquired.instance) return 0;  // the running one was told to reopen

    auto backend = marrowick::x11::X11Backend::open(
        display,
        marrowick::XdgLoginItems(marrowick::XdgLoginItems::defaultAutostartDir(), std::string(marrowick::applicationId),
                                 marrowick::XdgLoginItems::binaryToStart(
                                     QApplication::applicationFilePath().toStdString(), MARROWICK_INSTALLED_BINARY)));
    if (!backend) {
        std::cerr << "marrowick: cannot use the X display " << display << " (it needs XInput 2 and XKB)\n";
        return 1;
    }
    marrowick::Defaults store(xdgDir("XDG_CONFIG_HOME", ".config") / "marrowick" / "settings.json");
    store.deferWritesWith([&backend](std::function<void()> write) {
        // The store outlives the event loop, so a pending write needs no owner.
        backend->scheduler().after(settingsWriteDelay, std::move(write)).detach();
    });
    marrowick::Settings::install(store, backend->screens());
    marrowick::Settings::registerDefaults();

    App app(*backend, options, MARROWICK_VERSION);
    delegate = &app;
    QTimer::singleShot(0, [&app] { app.applicationDidFinishLaunching(); });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, [&store] { store.flush(); });
    return QApplication::exec();
}
