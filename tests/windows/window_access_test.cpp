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
    WindowAccess access{desk.accessibility(), desk.screens(), desk.pointer()};
};

TEST_F(WindowAccessTest, NoScreensNoConversion) {
    desk.screens().setScreens({});
    EXPECT_EQ(access.axPoint(1, 2), std::nullopt);
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt);
}

TEST_F(WindowAccessTest, WindowUnderPointerWalksUpToTheWindow) {
    desk.addApplication(100);
    const Element w = desk.addWindow(100, {100, 100, 800, 600});
    const Rect ax = *desk.accessibility().frame(w);
    const Element panel = desk.accessibility().addChild(w, "AXGroup", {ax.x + 10, ax.y + 100, 300, 300}, false);
    const Element button = desk.accessibility().addChild(panel, "AXButton", {ax.x + 20, ax.y + 110, 50, 20}, false);
    (void)button;

    desk.pointer().location_ = {400, 690};  // title bar: the child names its window
    EXPECT_EQ(access.windowUnderPointer(), w);
    desk.pointer().location_ = {130, 685 - 110};  // the button: parents lead to the window
    EXPECT_EQ(access.windowUnderPointer(), w);
    desk.pointer().location_ = {850, 300};  // the window's own content
    EXPECT_EQ(access.windowUnderPointer(), w);
    desk.pointer().location_ = {2000, 300};  // the desktop
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt);
}

TEST_F(WindowAccessTest, TheWalkGivesUpAfterThirtyElements) {
    desk.addApplication(100);
    const Element w = desk.addWindow(100, {0, 0, 800, 800});
    const Rect ax = *desk.accessibility().frame(w);
    auto chain = [&](int depth) {
        Element e = w;
        for (int i = 0; i < depth; ++i)
            e = desk.accessibility().addChild(e, "AXGroup", {ax.x, ax.y + 200, 100, 100}, false);
        return e;
    };
    chain(29);                             // hit element + 28 ancestors, the 29th ancestor is the window
    desk.pointer().location_ = {50, 550};  // inside the chain
    EXPECT_EQ(access.windowUnderPointer(), w);
    desk.accessibility().vanish(w);
    const Element w2 = desk.addWindow(100, {0, 0, 800, 800});
    (void)w2;
    const Rect ax2 = *desk.accessibility().frame(w2);
    Element e = w2;
    for (int i = 0; i < 30; ++i) e = desk.accessibility().addChild(e, "AXGroup", {ax2.x, ax2.y + 200, 100, 100}, false);
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt) << "the window is the 30th ancestor";
}

TEST_F(WindowAccessTest, FailedOrWrongTypedReadsGiveNone) {
    desk.addApplication(100);
    const Element w = desk.addWindow(100, {0, 0, 800, 800});
    EXPECT_EQ(access.position(w), (Point{0, 640}));
    desk.accessibility().overrideAttribute(w, "AXPosition", Value(Size{1, 2}));
    EXPECT_EQ(access.position(w), std::nullopt);
    desk.accessibility().failAttribute(w, "AXPosition", AXError::cannotComplete);
    EXPECT_EQ(access.position(w), std::nullopt);
    EXPECT_EQ(access.attribute(w, "AXNothing"), std::nullopt);

    desk.pointer().location_ = {400, 300};
    desk.accessibility().overrideAttribute(w, "AXRole", Value(7));
    desk.accessibility().failElementAtPosition(AXError::cannotComplete);
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt);
}

TEST_F(WindowAccessTest, MoveWritesPositionSizePositionAndLogs) {
    desk.addApplication(100);
    const Element w = desk.addWindow(100, {500, 500, 800, 600});
    access.move(w, {0, 0, 1142, 1415});
    const auto writes = desk.accessibility().writes();
    ASSERT_EQ(writes.size(), 3U);
    EXPECT_EQ(writes[0].name, "AXPosition");
    EXPECT_EQ(writes[0].value, Value(Point{0, 25}));
    EXPECT_EQ(writes[1].name, "AXSize");
    EXPECT_EQ(writes[1].value, Value(Size{1142, 1415}));
    EXPECT_EQ(writes[2].value, Value(Point{0, 25}));
    EXPECT_EQ(desk.frame(w), (Rect{0, 0, 1142, 1415}));
    EXPECT_NE(log().find("snapped to (0.0, 0.0, 1142.0, 1415.0), AX result 0\n"), std::string::npos) << log();
}

TEST_F(WindowAccessTest, MoveOfAVanishedOrStubbornWindowLogsItsError) {
    desk.addApplication(100);
    const Element stubborn = desk.addWindow(100, {500, 500, 800, 600}, {.resizable = false});
    access.move(stubborn, {1152, 0, 1136, 1415});
    EXPECT_EQ(desk.frame(stubborn), (Rect{1152, 815, 800, 600})) << "moved, not resized";
    EXPECT_NE(log().find("snapped to (1152.0, 0.0, 1136.0, 1415.0), AX result 0"), std::string::npos);

    desk.accessibility().vanish(stubborn);
    access.move(stubborn, {0, 0, 10, 10});
    EXPECT_NE(log().find("AX result -25202"), std::string::npos);
}

}  // namespace
}  // namespace marrowick
