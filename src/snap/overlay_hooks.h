#pragma once

#include "platform/input.h"

namespace marrowick {

// The live overlay's two hooks into the event stream, called before the snapper's own work.
class OverlayHooks {
public:
    virtual ~OverlayHooks() = default;
    // A left press in another application, or a key press anywhere.
    virtual void interrupt() = 0;
    // Every change of the modifier keys held.
    virtual void keysChanged(Modifiers held) = 0;
};

}  // namespace marrowick
