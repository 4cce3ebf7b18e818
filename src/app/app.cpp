#include "app/app.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <algorithm>
#include <iostream>

#include "app/tray_icon.h"
#include "base/log.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

namespace {

// What a user who started us from a terminal should read there too.
void tell(const std::string& line) {
    note(line);
    std::cerr << "marrowick: " << line << '\n';
}

}  // namespace

App::App(Platform& platform, Options options, std::string version)
    : platform_(platform),
      options_(options),
      version_(std::move(version)),
      follower_(std::make_unique<WindowFollower>(platform.windows(), static_cast<int>(::getpid()))),
      previews_(platform.surfaces()),
      macTiling_(platform.preferences()) {}

App::~App() = default;

LiveOverlay& App::overlay() {
    if (!overlay_) overlay_ = std::make_unique<LiveOverlay>(platform_, *follower_, notifications_);
    return *overlay_;
}

Snapper& App::snapper() {
    if (!snapper_) {
        snapper_ = std::make_unique<Snapper>(platform_, &overlay());
    }
    return *snapper_;
}

SettingsPanel& App::settings() {
    if (!settings_) {
        settings_ = std::make_unique<SettingsPanel>(
            platform_, macTiling_, *follower_, notifications_,
            [this](const std::vector<Rect>& rects, std::optional<double> hideAfter) { showPreview(rects, hideAfter); });
    }
    return *settings_;
}

void App::applicationDidFinishLaunching() {
    removeLog();
    if (const auto& problem = Settings::store().loadProblem()) note(*problem);

    menu_ = std::make_unique<QMenu>();
    accessItem_ = menu_->addAction(QStringLiteral("Needs Accessibility permission"));
    accessItem_->setEnabled(false);  // informational only
    // No shortcut: a tray menu has no window for one to work in.
    QAction* settings = menu_->addAction(QStringLiteral("Settings…"));
    QObject::connect(settings, &QAction::triggered, [this] { openSettings(); });
    QAction* about = menu_->addAction(QStringLiteral("About Marrowick"));
    QObject::connect(about, &QAction::triggered, [this] { showAbout(); });
    menu_->addSeparator();
    QAction* quit = menu_->addAction(QStringLiteral("Quit Marrowick"));
    QObject::connect(quit, &QAction::triggered, [] { QApplication::quit(); });

    // Shown even without a tray host: one that starts later picks the icon up.
    item_ = std::make_unique<QSystemTrayIcon>(trayIcon());
    item_->setToolTip(QStringLiteral("Marrowick"));
    item_->setContextMenu(menu_.get());
    QObject::connect(item_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) openSettings();
    });
    item_->show();
    trayCheck_ = platform_.scheduler().after(trayWait, [] {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            tell("no system tray available; launch Marrowick again to reach it");
        }
    });

    // Nowhere to snap to yet: the window where each monitor gets its sections, so the first
    // start shows where to begin. What the options ask for comes in front of it.
    const std::vector<Screen>& screens = platform_.screens().screens();
    if (std::all_of(screens.begin(), screens.end(), [](const Screen& s) { return Settings::dividers(s).empty(); })) {
        tell("no monitor has sections yet; opening the settings window");
        openSettings();
    }
    actOn(options_);

    permissionStep();
}

void App::actOn(const Options& options) {
    if (options.preview) {
        std::vector<Rect> all;
        for (const Screen& s : platform_.screens().screens()) {
            for (const Rect& t : tiles(s)) all.push_back(t);
        }
        showPreview(all, previewSeconds);
    }
    if (options.overlay) overlay().show(overlaySeconds);
    if (options.settings) openSettings();
    if (options.about) showAbout();
}

bool App::applicationShouldHandleReopen(const Options& options) {
    std::string line = "reopen requested";
    for (const std::string& a : options.forwarded()) line += " " + a;
    note(line);
    if (options.showsSomething()) {
        actOn(options);
    } else {
        openSettings();
    }
    return false;
}

void App::openSettings() { settings().open(); }

void App::settingsChangedOnDisk() {
    if (!settings_) return;
    settings_->pickMonitor();
    settings_->syncOutlineControls();
}

void App::showAbout() {
    platform_.dialogs().activate();
    const std::string domain(makerDomain);
    platform_.dialogs().showAbout({"Marrowick", version_, "Developed by " + domain, "https://" + domain});
}

void App::showPreview(const std::vector<Rect>& rects, std::optional<double> hideAfter) {
    previews_.show(rects, Settings::outlineStyle());
    hidePreviews_.cancel();
    if (!hideAfter) return;
    hidePreviews_ = platform_.scheduler().after(*hideAfter, [this] { previews_.hide(); });
}

void App::permissionStep() {
    if (platform_.windows().granted(!options_.noPrompt)) {
        startMonitoring();
        return;
    }
    note("waiting for Accessibility permission");
    waitTimer_ = platform_.scheduler().every(permissionInterval, [this] {
        if (!platform_.windows().granted(false)) return;
        waitTimer_.cancel();
        startMonitoring();
    });
}

void App::startMonitoring() {
    if (monitoring_) return;
    monitoring_ = true;
    accessItem_->setVisible(false);
    snapper().begin();
    note("watching drags");
    askAboutMacTiling();
}

void App::askAboutMacTiling() {
    if (!macTiling_.offered()) return;  // a platform without such a setting is never asked
    if (!macTiling_.conflicts()) return;
    if (Settings::store().boolean(Settings::askedAboutMacTilingKey)) return;
    // Stored first: never asked twice, whatever the answer, even if we quit meanwhile.
    Settings::store().set(Settings::askedAboutMacTilingKey, Value(true));
    Settings::store().flush();
    const Alert alert{
        "Turn off macOS's Option-drag tiling?",
        "Marrowick uses Option while you drag a window, but macOS's “Hold ⌥ key while dragging windows to tile” "
        "setting takes over those drags. macOS's edge, corner and top tiling stay on. You can change this later in "
        "Settings.",
        {"Turn It Off", "Not Now"}};
    platform_.dialogs().activate();
    if (platform_.dialogs().runModal(alert) == alertFirstButton) macTiling_.set(false);
}

}  // namespace marrowick
