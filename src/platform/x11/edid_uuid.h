#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marrowick::x11 {

// A display's stable UUID text (8-4-4-4-12, upper case) from its EDID: manufacturer, product
// code and serial number (the binary one and the serial descriptor). Two identical monitors
// without any serial would collide, so then the connector name is mixed in. None when the
// bytes are not an EDID block.
[[nodiscard]] std::optional<std::string> uuidFromEdid(std::string_view edid, std::string_view connector);

}  // namespace marrowick::x11
