#include "base/utc_time.h"

#include <ctime>

namespace marrowick {

std::string utcText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &tm);
    return {text, n};
}

}  // namespace marrowick
