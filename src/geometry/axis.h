#pragma once

#include <optional>
#include <string_view>

namespace marrowick {

// columns: sections side by side, dividers counted from the left edge.
// rows: sections stacked, dividers counted from the top edge.
enum class Axis { columns, rows };

[[nodiscard]] constexpr std::string_view rawValue(Axis a) { return a == Axis::columns ? "columns" : "rows"; }

[[nodiscard]] constexpr std::optional<Axis> axisFromRaw(std::string_view text) {
    if (text == "columns") return Axis::columns;
    if (text == "rows") return Axis::rows;
    return std::nullopt;
}

}  // namespace marrowick
