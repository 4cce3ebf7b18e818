#pragma once

#include <cstddef>
#include <vector>

namespace marrowick {

// Evenly spaced dividers for count sections; fewer than two sections means no dividers.
[[nodiscard]] std::vector<double> evenDividers(int count);

// Moves divider index to the requested fraction, snapped to hundredths and kept at least
// minSection from its neighbours and the ends. Only that divider changes; when the bounds
// cross, the upper one wins. index must name a divider.
[[nodiscard]] std::vector<double> moving(const std::vector<double>& dividers, std::size_t index, double to);

}  // namespace marrowick
