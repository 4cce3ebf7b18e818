#include "geometry/dividers.h"

#include "geometry/geometry.h"

namespace marrowick {

std::vector<double> evenDividers(int count) {
    std::vector<double> out;
    if (count < 2) return out;
    out.reserve(static_cast<std::size_t>(count - 1));
    for (int k = 1; k < count; ++k) out.push_back(static_cast<double>(k) / static_cast<double>(count));
    return out;
}

std::vector<double> moving(const std::vector<double>& dividers, std::size_t index, double to) {
    std::vector<double> out = dividers;
    if (index >= out.size()) return out;
    const double lower = index == 0 ? minSection : out[index - 1] + minSection;
    const double upper = (index + 1 == out.size() ? 1.0 : out[index + 1]) - minSection;
    double value = roundHalfAway(to * 100) / 100;
    if (value <= lower) value = lower;
    if (upper < value) value = upper;
    out[index] = value;
    return out;
}

}  // namespace marrowick
