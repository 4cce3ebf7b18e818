#pragma once

#include <functional>
#include <optional>

#include "platform/platform.h"
#include "platform/sim/sim_scheduler.h"
#include "platform/sim/sim_screens.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_surfaces.h"
#include "platform/sim/sim_windows.h"

namespace marrowick::sim {

// A whole simulated desktop: every service in memory, and a window manager that moves a window
// while its title bar is dragged, so one test can drive a snap from the press to the move.
class SimDesktop : public Platform {
public:
    static constexpr double titleBarHeight = 28;

    SimDesktop() = default;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    SimScreens& screens() override { return screens_; }
    SimPointer& pointer() override { return pointer_; }
    SimInput& input() override { return input_; }
    SimWindows& windows() override { return windows_; }
    SimSurfaces& surfaces() override { return surfaces_; }
    [[nodiscard]] const SimSurfaces& surfaces() const { return surfaces_; }
    SimScheduler& scheduler() override { return scheduler_; }
    SimDialogs& dialogs() override { return dialogs_; }
    SimLoginItems& loginItems() override { return loginItems_; }
    SimPreferenceDomains& preferences() override { return preferences_; }
    [[nodiscard]] KeyLabels keyLabels() const override { return KeyLabels::mac; }

    // A window with a title bar along its top.
    Window addWindow(int pid, Rect frame, SimWindows::Options options = {});
    // The window's frame, or none once it is gone.
    [[nodiscard]] std::optional<Rect> frame(Window window) const { return windows_.frameOf(window); }

    // Input. Key and modifier events go to our own windows while ownAppFocused is set. A press
    // where ownWindowAt answers true is one on our own windows: it, its drags and its release go
    // to our own windows' watchers, the rest to the others'.
    void setModifiers(Modifiers held);
    void keyDown(bool cancelsWindowMove = false);
    void mouseDown(Point p);
    void dragTo(Point p);
    void mouseUp();
    [[nodiscard]] Modifiers modifiers() const { return held_; }
    bool ownAppFocused = false;
    std::function<bool(Point)> ownWindowAt;

private:
    void dispatchMouse(InputKind kind);

    SimScreens screens_;
    SimPointer pointer_;
    SimInput input_;
    SimWindows windows_;
    SimSurfaces surfaces_;
    SimScheduler scheduler_;
    SimDialogs dialogs_;
    SimLoginItems loginItems_;
    SimPreferenceDomains preferences_;

    Modifiers held_;
    std::optional<Window> grabbed_;
    Point grabOffset_;
    bool pressOwn_ = false;
};

}  // namespace marrowick::sim
