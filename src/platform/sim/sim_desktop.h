#pragma once

#include <map>
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
class SimDesktop {
public:
    static constexpr double titleBarHeight = 28;

    SimDesktop() = default;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    SimScreens screens;
    SimPointer pointer;
    SimInputMonitors input;
    SimAccessibility accessibility;
    SimWorkspace workspace;
    SimScheduler scheduler;
    SimDialogs dialogs;
    SimLoginItems loginItems;
    SimPreferenceDomains preferences;
    NotificationCenter notifications;
    Platform platform{screens,  pointer,  input,      accessibility, workspace,
                      scheduler, dialogs, loginItems, preferences,   notifications};

    void addApplication(int pid, int policy = ActivationPolicy::regular);
    // A window with a title bar along its top, placed at an AppKit rectangle.
    Element addWindow(int pid, Rect frame, SimAccessibility::WindowOptions options = {});
    [[nodiscard]] std::optional<Element> titleBar(const Element& window) const;
    // The window's frame in AppKit coordinates, or none once it is gone.
    [[nodiscard]] std::optional<Rect> frame(const Element& window) const;

    [[nodiscard]] Point toAX(Point p) const;
    [[nodiscard]] Rect toAX(const Rect& r) const;

    // Input, in AppKit coordinates. Key and modifier events go to our own windows while
    // ownAppFocused is set; mouse events over nothing of ours always go to the global monitors.
    void setModifiers(std::uint64_t flags);
    void keyDown();
    void mouseDown(Point p);
    void dragTo(Point p);
    void mouseUp();
    [[nodiscard]] std::uint64_t modifiers() const { return flags_; }
    bool ownAppFocused = false;

private:
    std::map<std::uint64_t, Element> titleBars_;
    std::uint64_t flags_ = 0;
    std::optional<Element> grabbed_;
    Point grabOffset_;
};

}  // namespace marrowick::sim
