#pragma once

#include <cmath>

#include "base/rect.h"

namespace marrowick {

// The smallest section, as a fraction of the screen's extent.
inline constexpr double minSection = 0.1;

// No tile is offered this close to the left/right and top/bottom of a work area, in points.
struct EdgeBand {
    double x;
    double y;
};
inline constexpr EdgeBand edgeBand{30, 60};

// Halves go away from zero, also for negative values (std::round does exactly that).
[[nodiscard]] inline double roundHalfAway(double v) { return std::round(v); }

// Pointer hit test: the left and top borders belong to the rectangle, the right and bottom do
// not. An empty rectangle contains nothing.
[[nodiscard]] inline bool mouseInRect(Point p, const Rect& r) {
    if (r.isEmpty()) return false;
    return r.minX() <= p.x && p.x < r.maxX() && r.minY() <= p.y && p.y < r.maxY();
}

// Shrinks by dx on the left and right and dy at top and bottom; empty when it would be negative.
[[nodiscard]] inline Rect inset(const Rect& r, double dx, double dy) {
    const Rect out{r.x + dx, r.y + dy, r.width - 2 * dx, r.height - 2 * dy};
    if (out.width < 0 || out.height < 0) return {};
    return out;
}

}  // namespace marrowick
