#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/rect.h"
#include "platform/subscription.h"

namespace marrowick {

// One monitor, in the desktop's coordinates: the desktop's own pixels (the X root window's; the
// stage's on GNOME), origin at the top-left of the desktop, y down. Every rectangle of the core
// is in them. Lengths the behaviour gives in points (the handle's strip, the edge band, the gap,
// the outline's border) become pixels by the scale of the monitor they lie on.
struct Screen {
    Rect frame;
    Rect workArea;                          // the frame without panels and docks
    std::optional<std::int64_t> displayId;  // the desktop's number for the monitor, when it has one
    std::string name;                       // the name the desktop shows for it (a connector name on X11)
    double scale = 1;                       // pixels per point, above 0: 2 on a monitor shown at 2×, 1.5 at 150 %
    bool operator==(const Screen&) const = default;
};

class Screens {
public:
    virtual ~Screens() = default;
    // The connected monitors, primary first. The list is the desktop's current state.
    [[nodiscard]] virtual const std::vector<Screen>& screens() const = 0;
    // The stable UUID text (8-4-4-4-12, upper case) of a monitor, when the desktop knows one.
    [[nodiscard]] virtual std::optional<std::string> uuidText(std::uint32_t displayId) const = 0;
    // Called on the main thread after monitors were added, removed, moved or their work areas
    // changed; at most once per event-loop turn however many changes arrive.
    virtual Subscription addChangedHandler(std::function<void()> handler) = 0;
};

}  // namespace marrowick
