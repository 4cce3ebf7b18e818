#pragma once

#include <optional>
#include <string>

#include "base/rect.h"
#include "platform/pointer.h"
#include "platform/window_control.h"

namespace marrowick {

// A number as the shortest text that reads back as the same double, ".0" after whole numbers.
[[nodiscard]] std::string shortestDecimal(double v);

// Finding and moving other applications' windows.
class WindowAccess {
public:
    WindowAccess(WindowControl& windows, const Pointer& pointer) : windows_(windows), pointer_(pointer) {}

    // The window under the pointer.
    [[nodiscard]] std::optional<Window> windowUnderPointer() const;
    // Moves and resizes the window to r and logs the outcome.
    void move(Window window, const Rect& r) const;

private:
    WindowControl& windows_;
    const Pointer& pointer_;
};

}  // namespace marrowick
