#pragma once

#include <QWidget>
#include <functional>

#include "platform/surfaces.h"

namespace marrowick {

// Outlines and handles as overlay windows of our own (ui/): the way on desktops that let a
// client place a window above the others (X11).
class QtSurfaces : public Surfaces {
public:
    // Puts one of our windows just below another application's window; false where it cannot
    // (that window is gone, or the desktop keeps no such order for us).
    using StackBelow = std::function<bool(WId ours, Window below)>;

    // translucent: whether our windows can be see-through right now (on X11, whether a
    // compositing manager runs). pixelsPerPoint: the scale of the monitor a rectangle lies on
    // (1 everywhere when not given). Without stackBelow, an outline asked to stay below a window
    // goes in front of everything instead.
    explicit QtSurfaces(std::function<bool()> translucent, std::function<double(const Rect&)> pixelsPerPoint = {},
                        StackBelow stackBelow = {})
        : translucent_(std::move(translucent)),
          pixelsPerPoint_(std::move(pixelsPerPoint)),
          stackBelow_(std::move(stackBelow)) {}

    std::unique_ptr<OutlineSurface> outline() override;
    std::unique_ptr<HandleSurface> handle() override;

private:
    std::function<bool()> translucent_;
    std::function<double(const Rect&)> pixelsPerPoint_;
    StackBelow stackBelow_;
};

}  // namespace marrowick
