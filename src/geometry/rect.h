#pragma once

#include <cmath>

// The plain value types every layer shares. Header-only, no dependencies, so that the platform
// interfaces can speak in them too.
namespace marrowick {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    [[nodiscard]] double minX() const { return x; }
    [[nodiscard]] double minY() const { return y; }
    [[nodiscard]] double maxX() const { return x + width; }
    [[nodiscard]] double maxY() const { return y + height; }
    [[nodiscard]] Point origin() const { return {x, y}; }
    [[nodiscard]] Size size() const { return {width, height}; }
    [[nodiscard]] bool isEmpty() const { return !(width > 0) || !(height > 0); }
    bool operator==(const Rect&) const = default;
};

// Halves go away from zero, also for negative values (std::round does exactly that).
inline double roundHalfAway(double v) { return std::round(v); }

// Pointer hit test: the left and top borders belong to the rectangle, the right and bottom do
// not (AppKit coordinates, y up). An empty rectangle contains nothing.
inline bool mouseInRect(Point p, const Rect& r) {
    if (r.isEmpty()) return false;
    return r.minX() <= p.x && p.x < r.maxX() && r.minY() < p.y && p.y <= r.maxY();
}

// Shrinks by dx on the left and right and dy at top and bottom; empty when it would be negative.
inline Rect inset(const Rect& r, double dx, double dy) {
    Rect out{r.x + dx, r.y + dy, r.width - 2 * dx, r.height - 2 * dy};
    if (out.width < 0 || out.height < 0) return {};
    return out;
}

}  // namespace marrowick
