#pragma once

#include <optional>
#include <vector>

#include "geometry/rect.h"
#include "platform/screens.h"
#include "settings/axis.h"

namespace marrowick {

// The visible frame cut at the dividers: leftmost first for columns, topmost first for rows.
// Inner edges are rounded to whole points; the outer edges are the frame's own.
[[nodiscard]] std::vector<Rect> sections(const Rect& visibleFrame, Axis axis, const std::vector<double>& dividers);
// The same for a screen, from its stored dividers and axis.
[[nodiscard]] std::vector<Rect> sections(const Screen& screen);

// Sections less half the gap on every side that borders another section.
[[nodiscard]] std::vector<Rect> tiles(const std::vector<Rect>& sections, Axis axis, double gap);
[[nodiscard]] std::vector<Rect> tiles(const Screen& screen);

// The tile of the section under p: the first screen whose frame holds p decides, and nothing
// is offered within edgeBand of its visible frame's borders.
[[nodiscard]] std::optional<Rect> tileUnderPointer(Point p, const std::vector<Screen>& screens);

}  // namespace marrowick
