#pragma once

#include <cstddef>
#include <vector>

#include "base/rect.h"
#include "geometry/axis.h"

namespace marrowick {

// The work area cut at the dividers: leftmost first for columns, topmost first for rows.
// Inner edges are rounded to whole pixels (halves away from zero); the outer edges are the
// area's own.
[[nodiscard]] std::vector<Rect> sections(const Rect& workArea, Axis axis, const std::vector<double>& dividers);

// Section i of n less half the gap on every side that borders another section.
[[nodiscard]] Rect tileOf(const Rect& section, std::size_t i, std::size_t n, Axis axis, double gap);
[[nodiscard]] std::vector<Rect> tiles(const std::vector<Rect>& sections, Axis axis, double gap);

// The gap within 0 and the most that leaves every tile of these sections at least one pixel
// along the axis (an inner tile loses the whole gap, an outer one half of it); 0 for a value
// that is no number.
[[nodiscard]] double usableGap(double gap, const std::vector<Rect>& sections, Axis axis);

}  // namespace marrowick
