#include "geometry/dividers.h"

#include "geometry/rect.h"
#include "settings/constants.h"

namespace marrowick {

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
