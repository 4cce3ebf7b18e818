#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "follow/window_follower.h"
#include "overlay/live_overlay.h"
#include "platform/platform.h"
#include "settings/mac_option_tiling.h"
#include "settings/notification_center.h"
#include "settings_window/settings_panel.h"
#include "snap/outline_pool.h"
#include "snap/snapper.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace marrowick {

// The maker, named in the About window's credits line and linked from it.
inline constexpr std::string_view makerDomain = "marrowick.app";

// The application: its tray icon and menu, the options, the step that starts watching drags
// once the desktop allows it, the section preview, the one-time question about the system's own
// Option-drag tiling, and the About window.
class App {
public:
    static constexpr double permissionInterval = 2.0;
    static constexpr double previewSeconds = 3.0;
    static constexpr double overlaySeconds = 3.0;
    // A tray host that starts with the session may come a little after us.
    static constexpr double trayWait = 5.0;

    App(Platform& platform, Options options, std::string version);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    void applicationDidFinishLaunching();
    // Another launch handed us its options: they act here, and none opens the settings window.
    // Answers false as the platform expects.
    bool applicationShouldHandleReopen(const Options& options);
    void openSettings();
    void showAbout();
    // Outlines the rectangles; hides them all after hideAfter seconds, or keeps them until the
    // next call.
    void showPreview(const std::vector<Rect>& rects, std::optional<double> hideAfter = std::nullopt);
    void askAboutMacTiling();
    // The store took in values another program wrote: the settings window shows them.
    void settingsChangedOnDisk();

    [[nodiscard]] WindowFollower& follower() { return *follower_; }
    LiveOverlay& overlay();
    Snapper& snapper();
    // The settings window, built the first time it is wanted and kept.
    SettingsPanel& settings();
    [[nodiscard]] MacOptionTiling& macOptionTiling() { return macTiling_; }
    [[nodiscard]] QMenu* menu() const { return menu_.get(); }
    [[nodiscard]] QAction* accessItem() const { return accessItem_; }
    [[nodiscard]] QSystemTrayIcon* item() const { return item_.get(); }
    [[nodiscard]] NotificationCenter& notifications() { return notifications_; }
    [[nodiscard]] bool isMonitoring() const { return monitoring_; }

private:
    // The options that show something, in their order.
    void actOn(const Options& options);
    void permissionStep();
    void startMonitoring();

    Platform& platform_;
    Options options_;
    std::string version_;
    NotificationCenter notifications_;
    std::unique_ptr<WindowFollower> follower_;
    std::unique_ptr<LiveOverlay> overlay_;
    std::unique_ptr<Snapper> snapper_;
    OutlinePool previews_;
    TaskHandle hidePreviews_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> item_;
    QAction* accessItem_ = nullptr;  // owned by the menu
    MacOptionTiling macTiling_;
    TaskHandle waitTimer_;
    TaskHandle trayCheck_;
    bool monitoring_ = false;
    // Last: it shows previews through this App, so it goes first.
    std::unique_ptr<SettingsPanel> settings_;
};

}  // namespace marrowick
