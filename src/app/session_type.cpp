#include "app/session_type.h"

#include <cstdlib>

namespace marrowick {

namespace {

std::string variable(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

}  // namespace

SessionVariables SessionVariables::fromEnvironment() {
    return {variable("XDG_SESSION_TYPE"), variable("WAYLAND_DISPLAY"), variable("DISPLAY")};
}

SessionType sessionType(const SessionVariables& v) {
    if (v.sessionType == "wayland") return SessionType::wayland;
    if (v.sessionType != "x11" && !v.waylandDisplay.empty()) return SessionType::wayland;
    return v.display.empty() ? SessionType::none : SessionType::x11;
}

}  // namespace marrowick
