#pragma once

#include <vector>

namespace marrowick {

// Evenly spaced dividers for count sections; fewer than two sections means no dividers.
// Inline: the settings layer uses it for the ultrawide default without linking the geometry.
[[nodiscard]] inline std::vector<double> evenDividers(int count) {
    std::vector<double> out;
    if (count < 2) return out;
    out.reserve(static_cast<std::size_t>(count - 1));
    for (int k = 1; k < count; ++k) out.push_back(static_cast<double>(k) / static_cast<double>(count));
    return out;
}

// Moves divider index to the requested fraction, snapped to hundredths and kept at least
// minSection from its neighbours and the ends. Only that divider changes; when the bounds
// cross, the upper one wins.
[[nodiscard]] std::vector<double> moving(const std::vector<double>& dividers, std::size_t index, double to);

}  // namespace marrowick
