#pragma once

#include <array>
#include <string_view>

#include "platform/outline_style.h"

namespace marrowick {

struct NamedColor {
    std::string_view name;
    Color color;
};

// The colours offered for the outline, in the order the settings window shows them.
inline constexpr std::array<NamedColor, 9> palette{{
    {"Grey", {0.56, 0.56, 0.58, 1.0}},
    {"White", {1.0, 1.0, 1.0, 1.0}},
    {"Blue", {0.0, 0.48, 1.0, 1.0}},
    {"Teal", {0.19, 0.69, 0.78, 1.0}},
    {"Green", {0.2, 0.78, 0.35, 1.0}},
    {"Yellow", {1.0, 0.8, 0.0, 1.0}},
    {"Orange", {1.0, 0.58, 0.0, 1.0}},
    {"Red", {1.0, 0.23, 0.19, 1.0}},
    {"Purple", {0.69, 0.32, 0.87, 1.0}},
}};

}  // namespace marrowick
