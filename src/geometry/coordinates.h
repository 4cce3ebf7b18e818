#pragma once

#include "base/rect.h"

// The three coordinate systems. AppKit: origin at the bottom-left of the primary screen, y up.
// Accessibility: origin at the top-left of the primary screen, y down. Native: the window
// system's own (the X root window), y down, with the primary screen somewhere in it.
namespace marrowick {

// With H the primary frame's maxY, AppKit (x, y) is Accessibility (x, H - y); the same formula
// converts back.
[[nodiscard]] constexpr Point axPoint(Point p, double primaryHeight) { return {p.x, primaryHeight - p.y}; }
// A rectangle's top-left corner becomes its Accessibility origin; also its own inverse.
[[nodiscard]] constexpr Rect axRect(const Rect& r, double primaryHeight) {
    return {r.minX(), primaryHeight - r.maxY(), r.width, r.height};
}

// Native coordinates are Accessibility ones moved by the primary screen's native origin.
[[nodiscard]] constexpr Rect toNative(const Rect& r, const Rect& primaryNative) {
    const Rect a = axRect(r, primaryNative.height);
    return {a.x + primaryNative.x, a.y + primaryNative.y, a.width, a.height};
}
[[nodiscard]] constexpr Rect fromNative(const Rect& r, const Rect& primaryNative) {
    return axRect({r.x - primaryNative.x, r.y - primaryNative.y, r.width, r.height}, primaryNative.height);
}
[[nodiscard]] constexpr Point fromNative(Point p, const Rect& primaryNative) {
    return axPoint({p.x - primaryNative.x, p.y - primaryNative.y}, primaryNative.height);
}

}  // namespace marrowick
