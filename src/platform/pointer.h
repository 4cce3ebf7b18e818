#pragma once

#include "base/rect.h"

namespace marrowick {

class Pointer {
public:
    virtual ~Pointer() = default;
    // The pointer's position now, in AppKit coordinates.
    [[nodiscard]] virtual Point location() const = 0;
    // Bit 0 is the left button, bit 1 the right one.
    [[nodiscard]] virtual unsigned pressedButtons() const = 0;
};

}  // namespace marrowick
