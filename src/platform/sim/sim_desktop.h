#pragma once

#include <functional>
#include <optional>

#include "platform/notification_center.h"
#include "platform/platform.h"
#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_scheduler.h"
#include "platform/sim/sim_screens.h"
#include "platform/sim/sim_services.h"

namespace marrowick::sim {

// A whole simulated desktop: every service in memory, and a window manager that moves a window
// while its title bar is dragged, so one test can drive a snap from mouse-down to the move.
class SimDesktop : public Platform {
public:
    static constexpr double titleBarHeight = 28;

    SimDesktop() = default;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    SimScreens& screens() override { return screens_; }
    SimPointer& pointer() override { return pointer_; }
    SimInputMonitors& input() override { return input_; }
    SimAccessibility& accessibility() override { return accessibility_; }
    SimWorkspace& workspace() override { return workspace_; }
    SimScheduler& scheduler() override { return scheduler_; }
    SimDialogs& dialogs() override { return dialogs_; }
    SimLoginItems& loginItems() override { return loginItems_; }
    SimPreferenceDomains& preferences() override { return preferences_; }
    NotificationCenter& notifications() override { return notifications_; }

    void addApplication(int pid, int policy = ActivationPolicy::regular);
    // A window with a title bar along its top, placed at an AppKit rectangle.
    Element addWindow(int pid, Rect frame, SimAccessibility::WindowOptions options = {});
    // The window's frame in AppKit coordinates, or none once it is gone.
    [[nodiscard]] std::optional<Rect> frame(const Element& window) const;

    [[nodiscard]] Point toAX(Point p) const;
    [[nodiscard]] Rect toAX(const Rect& r) const;

    // Input, in AppKit coordinates. Key and modifier events go to our own windows while
    // ownAppFocused is set. A press where ownWindowAt answers true is one on our own windows:
    // it, its drags and its release go to the local monitors, the rest to the global ones.
    void setModifiers(std::uint64_t flags);
    void keyDown();
    void mouseDown(Point p);
    void dragTo(Point p);
    void mouseUp();
    [[nodiscard]] std::uint64_t modifiers() const { return flags_; }
    bool ownAppFocused = false;
    std::function<bool(Point)> ownWindowAt;

private:
    void dispatchMouse(int type);
    [[nodiscard]] double primaryHeight() const;

    SimScreens screens_;
    SimPointer pointer_;
    SimInputMonitors input_;
    SimAccessibility accessibility_;
    SimWorkspace workspace_;
    SimScheduler scheduler_;
    SimDialogs dialogs_;
    SimLoginItems loginItems_;
    SimPreferenceDomains preferences_;
    NotificationCenter notifications_;

    std::uint64_t flags_ = 0;
    std::optional<Element> grabbed_;
    Point grabOffset_;
    bool pressOwn_ = false;
};

}  // namespace marrowick::sim
