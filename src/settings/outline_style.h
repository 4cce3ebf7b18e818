#pragma once

#include "settings/color.h"

namespace marrowick {

// How outlines look: a rounded rectangle filled in one colour with a border band in another
// along the inside of its edge.
struct OutlineStyle {
    Color fill;
    Color border;
    double borderWidth = 0;
    double cornerRadius = 0;
    bool operator==(const OutlineStyle&) const = default;
};

}  // namespace marrowick
