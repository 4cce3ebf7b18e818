#include "follow/window_follower.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

// The wide screen's three tiles are (0, 0, 1147, 1415), (1147, 0, 1146, 1415) and
// (2293, 0, 1147, 1415); in Accessibility coordinates each starts at y 25.
class FollowerTest : public test::DesktopTest {
protected:
    FollowerTest() {
        desk.addApplication(100);
        desk.addApplication(200);
    }
    void settle() { follower.queue().drain(); }
    std::vector<sim::SimAccessibility::Write> writesOf(const Element& w) {
        std::vector<sim::SimAccessibility::Write> out;
        for (auto& wr : desk.accessibility().writes()) {
            if (wr.element == w) out.push_back(wr);
        }
        return out;
    }

    WindowFollower follower{desk.accessibility(), desk.workspace(), desk.screens()};
};

TEST_F(FollowerTest, CaptureThenUpdateMovesWindowsIntoTheirNewTiles) {
    const Element left = desk.addWindow(100, {0, 0, 1147, 1415});
    const Element middle = desk.addWindow(200, {1150, 10, 1140, 1400});  // within tolerance
    const Element loose = desk.addWindow(200, {400, 300, 600, 500});
    follower.capture(wide);
    Settings::setDividers({0.25, 2.0 / 3}, wide);
    follower.update(wide);  // both return before either pass has run
    settle();
    EXPECT_EQ(desk.frame(left), (Rect{0, 0, 860, 1415}));
    EXPECT_EQ(desk.frame(middle), (Rect{860, 0, 1433, 1415}));
    EXPECT_EQ(desk.frame(loose), (Rect{400, 300, 600, 500}));
    EXPECT_NE(log().find("following 2 windows\n"), std::string::npos) << log();
    EXPECT_EQ(desk.accessibility().requestsOnThread(std::this_thread::get_id()), 0)
        << "no window request on the calling thread";
}

TEST_F(FollowerTest, ToleranceIsTwentyFourPointsPerEdge) {
    struct Case {
        Rect frame;
        bool followed;
    };
    for (const Case& c : {Case{{24, 0, 1147 - 24, 1415}, true}, Case{{-24, 24, 1147 + 48, 1415 - 48}, true},
                          Case{{24.5, 0, 1147 - 24.5, 1415}, false}, Case{{0, 0, 1147, 1415 - 24.5}, false}}) {
        const Element w = desk.addWindow(100, c.frame);
        follower.capture(wide);
        settle();
        EXPECT_EQ(follower.followers().size(), c.followed ? 1U : 0U) << c.frame.x << " " << c.frame.height;
        desk.accessibility().vanish(w);
    }
}

TEST_F(FollowerTest, FirstMatchingTileWinsAndOrderFollowsTheWorkspace) {
    // Tiles (0, 17), (17, 34) and (34, 3440) wide: a narrow window fills the first two.
    Settings::setDividers({0.005, 0.01}, wide);
    const Element b = desk.addWindow(200, {34, 0, 3406, 1415});
    const Element a = desk.addWindow(100, {5, 0, 20, 1415});
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 2U);
    EXPECT_EQ(follower.followers()[0].window, a) << "application 100 comes first in the workspace";
    EXPECT_EQ(follower.followers()[0].section, 0U) << "the first tile in order that it fills";
    EXPECT_EQ(follower.followers()[1].window, b);
    EXPECT_EQ(follower.followers()[1].section, 2U);
}

TEST_F(FollowerTest, SkipsWindowsThatAreNotOrdinaryOrNotOthers) {
    const Rect tile{0, 0, 1147, 1415};
    desk.addWindow(100, tile, {.subrole = "AXDialog"});
    desk.addWindow(100, tile, {.minimized = true});
    desk.addApplication(300, ActivationPolicy::accessory);
    desk.addWindow(300, tile);
    desk.addApplication(desk.workspace().ownPidValue);
    desk.addWindow(desk.workspace().ownPidValue, tile);
    const Element odd = desk.addWindow(200, tile);
    desk.accessibility().overrideAttribute(odd, "AXSubrole", Value(1));
    const Element wrongSize = desk.addWindow(200, tile);
    desk.accessibility().overrideAttribute(wrongSize, "AXSize", Value(Point{1, 1}));
    const Element unreadable = desk.addWindow(200, tile);
    desk.accessibility().failAttribute(unreadable, "AXPosition", AXError::cannotComplete);
    const Element oddMinimised = desk.addWindow(200, tile);
    desk.accessibility().overrideAttribute(oddMinimised, "AXMinimized", Value("yes"));  // not a Boolean: not minimised
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 1U);
    EXPECT_EQ(follower.followers()[0].window, oddMinimised);
}

TEST_F(FollowerTest, NoTilesNoFollowersAndUpdateWithoutCaptureMovesNothing) {
    desk.addWindow(100, {3440, 0, 1920, 1055});
    follower.update(right);
    settle();
    EXPECT_TRUE(desk.accessibility().writes().empty());
    follower.capture(right);
    settle();
    EXPECT_TRUE(follower.followers().empty());
    EXPECT_NE(log().find("following 0 windows\n"), std::string::npos);
}

TEST_F(FollowerTest, FewerTilesLeaveTheRestAloneAndOnlyChangesAreWritten) {
    const Element left = desk.addWindow(100, {0, 0, 1147, 1415});
    const Element middle = desk.addWindow(100, {1147, 0, 1146, 1415});
    const Element last = desk.addWindow(100, {2293, 0, 1147, 1415});
    follower.capture(wide);
    Settings::setDividers({0.5}, wide);
    follower.update(wide);
    settle();
    EXPECT_EQ(desk.frame(left), (Rect{0, 0, 1720, 1415}));
    EXPECT_EQ(writesOf(left).size(), 1U) << "only the width changed: one size write";
    EXPECT_EQ(writesOf(left)[0].name, "AXSize");
    EXPECT_EQ(desk.frame(middle), (Rect{1720, 0, 1720, 1415}));
    ASSERT_EQ(writesOf(middle).size(), 2U);
    EXPECT_EQ(writesOf(middle)[0].name, "AXPosition") << "position first";
    EXPECT_EQ(desk.frame(last), (Rect{2293, 0, 1147, 1415})) << "its tile is gone";
    EXPECT_TRUE(writesOf(last).empty());

    desk.accessibility().clearWrites();
    follower.update(wide);
    settle();
    EXPECT_TRUE(desk.accessibility().writes().empty()) << "already in place: no request";
}

TEST_F(FollowerTest, UpdatesWhileBusyCoalesceIntoOnePassWithTheNewest) {
    const Element left = desk.addWindow(100, {0, 0, 1147, 1415});
    follower.capture(wide);
    settle();
    {
        auto hold = follower.queue().hold();
        for (int i = 1; i <= 10; ++i) {
            Settings::setDividers({0.3 + i * 0.01, 2.0 / 3}, wide);
            follower.update(wide);
        }
        EXPECT_EQ(follower.queue().pending(), 1U) << "one apply pass waits, not one per update";
    }
    settle();
    const auto writes = writesOf(left);
    ASSERT_EQ(writes.size(), 1U) << "one apply pass";
    EXPECT_EQ(writes[0].value, Value(Size{1376, 1415})) << "with the tenth call's tiles (0.4)";
    EXPECT_EQ(desk.frame(left), (Rect{0, 0, 1376, 1415}));
}

TEST_F(FollowerTest, SlowAndVanishingApplications) {
    const Element slow = desk.addWindow(100, {0, 0, 1147, 1415});
    const Element gone = desk.addWindow(200, {1147, 0, 1146, 1415});
    desk.accessibility().setResponseDelay(100, 5);
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 1U) << "the slow application is skipped";
    EXPECT_LE(desk.accessibility().secondsWaited(), 0.2 * 2 + 1e-6) << "each request gives up after 0.2 s";
    (void)slow;
    desk.accessibility().vanish(gone);
    Settings::setDividers({0.5}, wide);
    follower.update(wide);
    settle();  // the writes fail; nothing else happens
    EXPECT_EQ(follower.followers()[0].frame, (Rect{1720, 25, 1720, 1415})) << "the frame takes the target anyway";
}

}  // namespace
}  // namespace marrowick
