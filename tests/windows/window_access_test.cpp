#include "windows/window_access.h"

#include <gtest/gtest.h>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

using test::DesktopTest;

TEST(ShortestDecimal, ReadsBackExactly) {
    struct Case {
        double v;
        const char* text;
    };
    for (const Case& c : {Case{0, "0.0"}, Case{1142, "1142.0"}, Case{1150.5, "1150.5"}, Case{-501, "-501.0"},
                          Case{0.1, "0.1"}, Case{1.0 / 3, "0.3333333333333333"}, Case{1e20, "1e+20"}}) {
        EXPECT_EQ(shortestDecimal(c.v), c.text);
    }
}

class WindowAccessTest : public DesktopTest {
protected:
    WindowAccess access{desk.windows(), desk.pointer()};
};

TEST_F(WindowAccessTest, WindowUnderPointer) {
    const Window back = desk.addWindow(100, {100, 100, 800, 600});
    const Window front = desk.addWindow(200, {500, 300, 800, 600});
    const Window hidden = desk.addWindow(300, {0, 0, 3440, 1440}, {.minimized = true});
    (void)hidden;
    struct Case {
        Point p;
        std::optional<Window> expected;
        const char* why;
    };
    for (const Case& c : {Case{{400, 110}, back, "title bar"}, Case{{600, 400}, front, "the front one wins"},
                          Case{{899.9, 699.9}, front, "its last pixel"}, Case{{1300, 400}, std::nullopt, "right edge"},
                          Case{{2000, 300}, std::nullopt, "the desktop; minimised windows do not count"}}) {
        desk.pointer().location_ = c.p;
        EXPECT_EQ(access.windowUnderPointer(), c.expected) << c.why;
    }
    desk.windows().setResponseDelay(200, 1.0);
    desk.pointer().location_ = {600, 400};
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt) << "a window that does not answer is not taken";
}

TEST_F(WindowAccessTest, MoveAsksOnceAndLogsTheOutcome) {
    const Window w = desk.addWindow(100, {500, 500, 800, 600});
    access.move(w, {0, 25, 1142, 1415});
    EXPECT_EQ(desk.windows().writes(), (std::vector<sim::SimWindows::Write>{{w, {0, 25, 1142, 1415}}}));
    EXPECT_EQ(desk.frame(w), (Rect{0, 25, 1142, 1415}));
    EXPECT_NE(log().find("snapped to (0.0, 25.0, 1142.0, 1415.0), result ok\n"), std::string::npos) << log();
}

TEST_F(WindowAccessTest, MoveLogsWhyAWindowDidNotLand) {
    const Window stubborn = desk.addWindow(100, {500, 500, 800, 600}, {.resizable = false});
    access.move(stubborn, {1152, 25, 1136, 1415});
    EXPECT_EQ(desk.frame(stubborn), (Rect{1152, 25, 800, 600})) << "moved, not resized";
    EXPECT_NE(log().find("snapped to (1152.0, 25.0, 1136.0, 1415.0), result refused\n"), std::string::npos) << log();

    const Window slow = desk.addWindow(200, {500, 500, 800, 600});
    desk.windows().setResponseDelay(200, 0.5);
    access.move(slow, {0, 25, 10, 10});
    EXPECT_NE(log().find("snapped to (0.0, 25.0, 10.0, 10.0), result busy\n"), std::string::npos) << log();

    desk.windows().vanish(stubborn);
    access.move(stubborn, {0, 25, 10, 10});
    EXPECT_NE(log().find("result gone\n"), std::string::npos) << log();
}

}  // namespace
}  // namespace marrowick
