#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

namespace marrowick {
namespace {

TEST(SimDesktop, APressOnOurOwnWindowGoesToOurOwnWatchersOnly) {
    sim::SimDesktop desk;
    desk.screens().setScreens({{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, std::nullopt, "Primary"}});
    desk.ownWindowAt = [](Point p) { return p.x < 100; };
    std::vector<InputKind> others;
    std::vector<InputKind> own;
    const Subscription o = desk.input().watchOthers([&](const InputEvent& e) { others.push_back(e.kind); });
    const Subscription w = desk.input().watchOwn([&](const InputEvent& e) { own.push_back(e.kind); });
    desk.mouseDown({50, 500});
    desk.dragTo({500, 500});  // still the same press, wherever the pointer goes
    desk.mouseUp();
    desk.mouseDown({500, 500});
    desk.mouseUp();
    desk.ownAppFocused = true;
    desk.setModifiers({Key::alt});
    using enum InputKind;
    EXPECT_EQ(own, (std::vector<InputKind>{press, drag, release, modifiers}));
    EXPECT_EQ(others, (std::vector<InputKind>{press, release}));
}

TEST(SimDesktop, TheWindowManagerMovesAWindowByItsTitleBar) {
    sim::SimDesktop desk;
    const Window w = desk.addWindow(100, {100, 100, 400, 300});
    desk.mouseDown({200, 110});
    desk.dragTo({260, 150});
    desk.mouseUp();
    EXPECT_EQ(desk.frame(w), (Rect{160, 140, 400, 300}));
    desk.mouseDown({200, 300});  // the content
    desk.dragTo({300, 400});
    desk.mouseUp();
    EXPECT_EQ(desk.frame(w), (Rect{160, 140, 400, 300}));
}

}  // namespace
}  // namespace marrowick
