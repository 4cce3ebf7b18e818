#pragma once

#include <string>

namespace marrowick {

// The current time in UTC, formatted by strftime rules.
[[nodiscard]] std::string utcText(const char* format);

}  // namespace marrowick
