#pragma once

#include <optional>
#include <vector>

#include "base/rect.h"
#include "platform/screens.h"

namespace marrowick {

// A screen's sections and tiles from its stored dividers, axis and gap, read afresh each call.
[[nodiscard]] std::vector<Rect> sections(const Screen& screen);
[[nodiscard]] std::vector<Rect> tiles(const Screen& screen);

// The tile of the section under p: the first screen whose frame holds p decides, and nothing
// is offered within edgeBand of its work area's borders.
[[nodiscard]] std::optional<Rect> tileUnderPointer(Point p, const std::vector<Screen>& screens);

}  // namespace marrowick
