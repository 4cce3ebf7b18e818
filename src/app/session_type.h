#pragma once

#include <string>
#include <string_view>

namespace marrowick {

// The kind of graphical session a process runs in.
enum class SessionType { x11, wayland, none };

// The variables that tell it, as the process found them (empty when unset).
struct SessionVariables {
    std::string sessionType;     // XDG_SESSION_TYPE, set by the login manager
    std::string waylandDisplay;  // WAYLAND_DISPLAY, set by a Wayland compositor
    std::string display;         // DISPLAY, set by X servers, XWayland included

    static SessionVariables fromEnvironment();
};

// The login manager's word wins ("x11" or "wayland"); a session started otherwise (startx says
// "tty", some say nothing) is Wayland when a compositor announced itself. DISPLAY alone proves
// nothing, since XWayland sets it in Wayland sessions too; without it there is no X display.
[[nodiscard]] SessionType sessionType(const SessionVariables& v);

// Said at start in a Wayland session, where Marrowick cannot work.
inline constexpr std::string_view waylandMessage =
    "Marrowick works only in X11 sessions. This is a Wayland session, where no program may move "
    "other applications' windows. Log in with an X11 (Xorg) session to use Marrowick.";

}  // namespace marrowick
