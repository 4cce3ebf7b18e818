#pragma once

#include <cstdint>

namespace marrowick {

// The live overlay's two hooks into the event stream, called before the snapper's own work.
class OverlayHooks {
public:
    virtual ~OverlayHooks() = default;
    // A left mouse-down in another application, or a key press anywhere.
    virtual void interrupt() = 0;
    // Every modifier change, with the event's flags.
    virtual void keysChanged(std::uint64_t flags) = 0;
};

}  // namespace marrowick
