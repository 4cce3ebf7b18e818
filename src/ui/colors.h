#pragma once

#include <QColor>

#include "platform/outline_style.h"

namespace marrowick {

// A stored sRGB colour as Qt's, each component clamped to 0…1.
[[nodiscard]] QColor qcolor(const Color& c);

}  // namespace marrowick
