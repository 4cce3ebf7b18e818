#include "app/session_type.h"

#include <gtest/gtest.h>

namespace marrowick {
namespace {

TEST(SessionType, TheLoginManagersWordWinsThenTheCompositorsThenDisplay) {
    struct Case {
        const char* what;
        SessionVariables v;
        SessionType expected;
    };
    const Case cases[] = {
        {"X11 session", {"x11", "", ":0"}, SessionType::x11},
        {"Wayland session with XWayland's DISPLAY", {"wayland", "wayland-0", ":0"}, SessionType::wayland},
        {"Wayland session, XWayland not started", {"wayland", "wayland-0", ""}, SessionType::wayland},
        {"Wayland session, variable lost on the way", {"wayland", "", ":0"}, SessionType::wayland},
        {"X11 session with a nested compositor's variable", {"x11", "wayland-1", ":0"}, SessionType::x11},
        {"startx from a console", {"tty", "", ":0"}, SessionType::x11},
        {"no login manager, a compositor", {"", "wayland-0", ":1"}, SessionType::wayland},
        {"no login manager, an X server", {"", "", ":1"}, SessionType::x11},
        {"X11 session type but no display", {"x11", "", ""}, SessionType::none},
        {"console", {"tty", "", ""}, SessionType::none},
        {"nothing set", {"", "", ""}, SessionType::none},
    };
    for (const Case& c : cases) EXPECT_EQ(sessionType(c.v), c.expected) << c.what;
}

}  // namespace
}  // namespace marrowick
