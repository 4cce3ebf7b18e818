#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/rect.h"
#include "geometry/coordinates.h"
#include "platform/accessibility.h"
#include "platform/pointer.h"
#include "platform/screens.h"

namespace marrowick {

// The primary screen's frame maxY, read afresh; none without screens.
[[nodiscard]] std::optional<double> primaryHeight(const Screens& screens);

// A number as the shortest text that reads back as the same double, ".0" after whole numbers.
[[nodiscard]] std::string shortestDecimal(double v);

// Finding, reading and moving other applications' windows.
class WindowAccess {
public:
    WindowAccess(Accessibility& accessibility, const Screens& screens, const Pointer& pointer)
        : ax_(accessibility), screens_(screens), pointer_(pointer) {}

    // Conversions against the current primary screen (none without screens).
    [[nodiscard]] std::optional<Point> axPoint(double x, double y) const;
    [[nodiscard]] std::optional<Rect> axRect(const Rect& r) const;

    // The attribute's value, or none on any error.
    [[nodiscard]] std::optional<Value> attribute(const Element& element, std::string_view name) const;
    // The window under the pointer: the hit element or the first of its 29 ancestors that is a
    // window or names its window.
    [[nodiscard]] std::optional<Element> windowUnderPointer() const;
    // The window's Accessibility position.
    [[nodiscard]] std::optional<Point> position(const Element& window) const;
    // Moves and resizes the window to an AppKit rectangle and logs the outcome.
    void move(const Element& window, const Rect& r) const;

private:
    Accessibility& ax_;
    const Screens& screens_;
    const Pointer& pointer_;
};

}  // namespace marrowick
