#include "ui/colors.h"

#include <algorithm>

namespace marrowick {

QColor qcolor(const Color& c) {
    auto f = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(f(c.red), f(c.green), f(c.blue), f(c.alpha));
}

}  // namespace marrowick
