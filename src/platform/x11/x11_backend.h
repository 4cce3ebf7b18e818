#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_scheduler.h"
#include "platform/qt/qt_surfaces.h"
#include "platform/qt/xdg_login_items.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_screens.h"
#include "platform/x11/x11_window_control.h"

namespace marrowick::x11 {

// The platform on one X display: the X11 services, each with its own connection, and the Qt
// ones every real backend shares. Create it on the thread that runs the Qt event loop, once the
// application object exists: screen changes, input and timers arrive there.
class X11Backend : public Platform {
public:
    // None when the display cannot be opened or lacks XInput 2 or XKB.
    static std::unique_ptr<X11Backend> open(const std::string& display, XdgLoginItems loginItems);

    X11Screens& screens() override { return *screens_; }
    X11Pointer& pointer() override { return *pointer_; }
    X11Input& input() override { return *input_; }
    X11WindowControl& windows() override { return *windows_; }
    QtSurfaces& surfaces() override { return *surfaces_; }
    QtScheduler& scheduler() override { return scheduler_; }
    QtDialogs& dialogs() override { return dialogs_; }
    XdgLoginItems& loginItems() override { return loginItems_; }
    NoPreferenceDomains& preferences() override { return preferences_; }
    [[nodiscard]] KeyLabels keyLabels() const override { return KeyLabels::pc; }

private:
    explicit X11Backend(XdgLoginItems loginItems) : loginItems_(std::move(loginItems)) {}
    std::unique_ptr<X11Screens> screens_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<X11Input> input_;
    std::unique_ptr<X11WindowControl> windows_;
    std::unique_ptr<QtSurfaces> surfaces_;
    QtScheduler scheduler_;
    QtDialogs dialogs_;
    XdgLoginItems loginItems_;
    NoPreferenceDomains preferences_;
};

}  // namespace marrowick::x11
