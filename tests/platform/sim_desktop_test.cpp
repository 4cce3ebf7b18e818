#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

namespace marrowick {
namespace {

TEST(SimScreens, NativeGeometryGoesBothWaysWithThePrimaryAwayFromTheOrigin) {
    sim::SimDesktop desk;
    desk.screens().setScreens({{{0, 0, 2560, 1440}, {0, 0, 2560, 1415}, std::nullopt, "Primary"},
                               {{-1920, 0, 1920, 1080}, {-1920, 0, 1920, 1080}, std::nullopt, "Left"}});
    desk.screens().primaryNativeOrigin = {1920, 0};
    const Rect left{-1920, 0, 1920, 1080};
    EXPECT_EQ(desk.screens().toNative(left), (Rect{0, 360, 1920, 1080}));
    EXPECT_EQ(desk.screens().fromNative(desk.screens().toNative(left)), left);
    EXPECT_EQ(desk.screens().fromNative(Point{1920, 0}), (Point{0, 1440}));
}

TEST(SimDesktop, APressOnOurOwnWindowGoesToTheLocalMonitorsOnly) {
    sim::SimDesktop desk;
    desk.screens().setScreens({{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, std::nullopt, "Primary"}});
    desk.ownWindowAt = [](Point p) { return p.x < 100; };
    std::vector<int> global;
    std::vector<int> local;
    auto g = desk.input().addGlobal(~0ULL, [&](const Event& e) { global.push_back(e.type); });
    auto l = desk.input().addLocal(~0ULL, [&](const Event& e) -> std::optional<Event> {
        local.push_back(e.type);
        return e;
    });
    desk.mouseDown({50, 500});
    desk.dragTo({500, 500});  // still the same press, wherever the pointer goes
    desk.mouseUp();
    desk.mouseDown({500, 500});
    desk.mouseUp();
    using namespace EventType;
    EXPECT_EQ(local, (std::vector<int>{leftMouseDown, leftMouseDragged, leftMouseUp}));
    EXPECT_EQ(global, (std::vector<int>{leftMouseDown, leftMouseUp}));
}

TEST(SimDesktop, LocalMonitorsFormAChainThatNoneEnds) {
    sim::SimDesktop desk;
    auto first = desk.input().addLocal(~0ULL, [](const Event& e) -> std::optional<Event> {
        return Event{e.type, e.modifierFlags | Modifier::shift};
    });
    std::optional<Event> seen;
    auto second = desk.input().addLocal(~0ULL, [&](const Event& e) -> std::optional<Event> {
        seen = e;
        return std::nullopt;
    });
    int third = 0;
    auto last = desk.input().addLocal(~0ULL, [&](const Event& e) -> std::optional<Event> {
        ++third;
        return e;
    });
    EXPECT_EQ(desk.input().dispatch({EventType::keyDown, 0}, true), std::nullopt);
    EXPECT_EQ(seen, (Event{EventType::keyDown, Modifier::shift})) << "each sees what the one before passed on";
    EXPECT_EQ(third, 0) << "none ends the chain";
}

}  // namespace
}  // namespace marrowick
