#pragma once

#include <functional>

#include "platform/surfaces.h"

namespace marrowick {

// Outlines and handles as overlay windows of our own (ui/): the way on desktops that let a
// client place a window above the others (X11).
class QtSurfaces : public Surfaces {
public:
    // translucent: whether our windows can be see-through right now (on X11, whether a
    // compositing manager runs). pixelsPerPoint: the scale of the monitor a rectangle lies on
    // (1 everywhere when not given).
    explicit QtSurfaces(std::function<bool()> translucent, std::function<double(const Rect&)> pixelsPerPoint = {})
        : translucent_(std::move(translucent)), pixelsPerPoint_(std::move(pixelsPerPoint)) {}

    std::unique_ptr<OutlineSurface> outline() override;
    std::unique_ptr<HandleSurface> handle() override;

private:
    std::function<bool()> translucent_;
    std::function<double(const Rect&)> pixelsPerPoint_;
};

}  // namespace marrowick
