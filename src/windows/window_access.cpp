#include "windows/window_access.h"

#include <charconv>

#include "base/log.h"

namespace marrowick {

std::string shortestDecimal(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";  // not for 1e+20, inf or nan
    return s;
}

std::optional<Window> WindowAccess::windowUnderPointer() const { return windows_.windowAt(pointer_.location()); }

void WindowAccess::move(Window window, const Rect& r) const {
    const Result<void> result = windows_.setFrame(window, r);
    note("snapped to (" + shortestDecimal(r.x) + ", " + shortestDecimal(r.y) + ", " + shortestDecimal(r.width) + ", " +
         shortestDecimal(r.height) + "), result " + std::string(name(result)));
}

}  // namespace marrowick
