#pragma once

#include <cstdint>
#include <string_view>

namespace marrowick {

// A screen whose width divided by height is at least this counts as ultrawide.
inline constexpr double ultrawideAspect = 2.2;

// No tile is offered this close to the left/right and top/bottom of a visible frame.
struct EdgeBand {
    double x;
    double y;
};
inline constexpr EdgeBand edgeBand{30, 60};

// The smallest section, as a fraction of the screen's extent.
inline constexpr double minSection = 0.1;

// Seconds the drag keys must be held before the live overlay appears.
inline constexpr double overlayDelay = 0.5;

// Posted after each step of a divider-handle drag.
inline constexpr std::string_view dividersChanged = "dividersChanged";

// Window collection behaviour of every overlay window: all spaces, transient, out of window
// cycling, over full-screen windows.
inline constexpr std::uint64_t overlayBehavior = 329;

}  // namespace marrowick
