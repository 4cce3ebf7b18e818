#pragma once

#include "base/rect.h"

namespace marrowick {

namespace Button {
inline constexpr unsigned left = 1;
inline constexpr unsigned right = 2;
inline constexpr unsigned middle = 4;
}  // namespace Button

// The pointer. While an input event is being delivered it answers where the pointer was for that
// event, so a handler reads the event's own position.
class Pointer {
public:
    virtual ~Pointer() = default;
    [[nodiscard]] virtual Point location() const = 0;
    // The Button bits of the buttons held down.
    [[nodiscard]] virtual unsigned pressedButtons() const = 0;
};

}  // namespace marrowick
