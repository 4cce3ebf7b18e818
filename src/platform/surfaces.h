#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "base/rect.h"
#include "geometry/axis.h"
#include "platform/outline_style.h"
#include "platform/window_control.h"

namespace marrowick {

// What we draw above every window. A surface is made hidden and may be shown and hidden any
// number of times; it never takes the keyboard focus or activates anything. Its rectangle is in
// the desktop's pixels; what it draws inside (the outline's border and corners, the handle's
// line, grip and arrow) is given in points, and the backend draws it at the scale of the monitor
// the rectangle lies on.

// A rounded rectangle in an outline style that lets every click through.
class OutlineSurface {
public:
    virtual ~OutlineSurface() = default;
    // Shows the surface at r in that style, in front of other windows; the geometry is set only
    // when it differs. With a window below which to stay (the one being dragged), it goes just
    // under that window where the desktop allows, so the window stays in sight above it.
    virtual void show(const Rect& r, const OutlineStyle& style, std::optional<Window> below = std::nullopt) = 0;
    virtual void hide() = 0;
};

// A divider's handle: a strip that takes the left button's presses everywhere in it, shows a
// resize cursor along the axis, and reports the press, the moves while it is held and the
// release (also when it is hidden while held). Handles stay above outlines.
class HandleSurface {
public:
    virtual ~HandleSurface() = default;
    // Shows the strip at r, drawn for a divider between sections along axis, in front; the
    // geometry is set only when it differs.
    virtual void show(const Rect& r, Axis axis) = 0;
    virtual void hide() = 0;

    std::function<void()> onPress;
    std::function<void()> onDrag;
    std::function<void()> onRelease;
};

class Surfaces {
public:
    virtual ~Surfaces() = default;
    [[nodiscard]] virtual std::unique_ptr<OutlineSurface> outline() = 0;
    [[nodiscard]] virtual std::unique_ptr<HandleSurface> handle() = 0;
};

}  // namespace marrowick
