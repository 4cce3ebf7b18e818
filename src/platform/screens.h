#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/rect.h"
#include "geometry/coordinates.h"
#include "platform/subscription.h"

namespace marrowick {

// One connected display, in AppKit coordinates (origin bottom-left of the primary, y up).
struct Screen {
    Rect frame;
    Rect visibleFrame;                      // the frame without panels and docks
    std::optional<std::int64_t> displayId;  // the platform's display number, when it has one
    std::string name;                       // the localised name
};

class Screens {
public:
    virtual ~Screens() = default;
    // The connected displays, primary first. The list is the platform's current state.
    [[nodiscard]] virtual const std::vector<Screen>& screens() const = 0;
    // The stable UUID text (8-4-4-4-12, upper case) of a display, when the platform knows one.
    [[nodiscard]] virtual std::optional<std::string> uuidText(std::uint32_t displayId) const = 0;
    // Where the primary screen lies in native coordinates (the window system's, y down).
    [[nodiscard]] virtual Rect primaryNative() const = 0;
    // Whether our windows can be translucent here (on X11: a compositing manager runs).
    [[nodiscard]] virtual bool supportsTranslucency() const { return true; }
    // Called on the main thread after displays were added, removed or moved.
    virtual Subscription addChangedHandler(std::function<void()> handler) = 0;

    // AppKit geometry as native geometry and back, for our own windows and presses on them.
    [[nodiscard]] Rect toNative(const Rect& r) const { return marrowick::toNative(r, primaryNative()); }
    [[nodiscard]] Rect fromNative(const Rect& r) const { return marrowick::fromNative(r, primaryNative()); }
    [[nodiscard]] Point fromNative(Point p) const { return marrowick::fromNative(p, primaryNative()); }
};

}  // namespace marrowick
