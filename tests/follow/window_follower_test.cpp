#include "follow/window_follower.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

using Request = sim::SimWindows::Request;

// The wide screen's three tiles are (0, 25, 1147, 1415), (1147, 25, 1146, 1415) and
// (2293, 25, 1147, 1415).
class FollowerTest : public test::DesktopTest {
protected:
    static constexpr int ownPid = 4242;
    void settle() { follower.queue().drain(); }
    std::vector<Rect> writesOf(Window w) {
        std::vector<Rect> out;
        for (auto& wr : desk.windows().writes()) {
            if (wr.window == w) out.push_back(wr.frame);
        }
        return out;
    }

    WindowFollower follower{desk.windows(), ownPid};
};

TEST_F(FollowerTest, CaptureThenUpdateMovesWindowsIntoTheirNewTiles) {
    const Window left = desk.addWindow(100, {0, 25, 1147, 1415});
    const Window middle = desk.addWindow(200, {1150, 35, 1140, 1400});  // within tolerance
    const Window loose = desk.addWindow(200, {400, 300, 600, 500});
    follower.capture(wide);
    Settings::setDividers({0.25, 2.0 / 3}, wide);
    follower.update(wide);  // both return before either pass has run
    settle();
    EXPECT_EQ(desk.frame(left), (Rect{0, 25, 860, 1415}));
    EXPECT_EQ(desk.frame(middle), (Rect{860, 25, 1433, 1415}));
    EXPECT_EQ(desk.frame(loose), (Rect{400, 300, 600, 500}));
    EXPECT_NE(log().find("following 2 windows\n"), std::string::npos) << log();
    EXPECT_EQ(desk.windows().requestsOnThread(std::this_thread::get_id()), 0)
        << "no window request on the calling thread";
}

TEST_F(FollowerTest, ToleranceIsTwentyFourPixelsPerEdge) {
    struct Case {
        Rect frame;
        bool followed;
    };
    for (const Case& c : {Case{{24, 25, 1147 - 24, 1415}, true}, Case{{-24, 49, 1147 + 48, 1415 - 48}, true},
                          Case{{24.5, 25, 1147 - 24.5, 1415}, false}, Case{{0, 25, 1147, 1415 - 24.5}, false}}) {
        const Window w = desk.addWindow(100, c.frame);
        follower.capture(wide);
        settle();
        EXPECT_EQ(follower.followers().size(), c.followed ? 1U : 0U) << c.frame.x << " " << c.frame.height;
        desk.windows().vanish(w);
    }
}

TEST_F(FollowerTest, FirstMatchingTileWinsInTheDesktopsOrder) {
    // Tiles (0, 17), (17, 34) and (34, 3440) wide: a narrow window fills the first two.
    Settings::setDividers({0.005, 0.01}, wide);
    const Window b = desk.addWindow(200, {34, 25, 3406, 1415});
    const Window a = desk.addWindow(100, {5, 25, 20, 1415});
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 2U);
    EXPECT_EQ(follower.followers()[0].window, b);
    EXPECT_EQ(follower.followers()[0].section, 2U);
    EXPECT_EQ(follower.followers()[1].window, a);
    EXPECT_EQ(follower.followers()[1].section, 0U) << "the first tile in order that it fills";
}

TEST_F(FollowerTest, SkipsWindowsThatAreNotOthersMainWindows) {
    const Rect tile{0, 25, 1147, 1415};
    desk.addWindow(100, tile, {.kind = WindowKind::dialog});
    desk.addWindow(100, tile, {.kind = WindowKind::other});
    desk.addWindow(100, tile, {.minimized = true});
    desk.addWindow(ownPid, tile);
    for (Request r : {Request::application, Request::kind, Request::frame}) {
        desk.windows().fail(desk.addWindow(200, tile), r, WindowError::busy);
    }
    const Window unsure = desk.addWindow(200, tile);
    desk.windows().fail(unsure, Request::minimized, WindowError::busy);  // unknown counts as on screen
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 1U);
    EXPECT_EQ(follower.followers()[0].window, unsure);

    desk.windows().failListing(WindowError::busy);
    follower.capture(wide);
    settle();
    EXPECT_TRUE(follower.followers().empty()) << "no list, nobody followed";
}

TEST_F(FollowerTest, NoTilesNoFollowersAndUpdateWithoutCaptureMovesNothing) {
    desk.addWindow(100, {3440, 25, 1920, 1055});
    follower.update(right);
    settle();
    EXPECT_TRUE(desk.windows().writes().empty());
    follower.capture(right);
    settle();
    EXPECT_TRUE(follower.followers().empty());
    EXPECT_NE(log().find("following 0 windows\n"), std::string::npos);
}

TEST_F(FollowerTest, FewerTilesLeaveTheRestAloneAndOnlyChangesAreWritten) {
    const Window left = desk.addWindow(100, {0, 25, 1147, 1415});
    const Window middle = desk.addWindow(100, {1147, 25, 1146, 1415});
    const Window last = desk.addWindow(100, {2293, 25, 1147, 1415});
    follower.capture(wide);
    Settings::setDividers({0.5}, wide);
    follower.update(wide);
    settle();
    EXPECT_EQ(desk.frame(left), (Rect{0, 25, 1720, 1415}));
    EXPECT_EQ(writesOf(left).size(), 1U);
    EXPECT_EQ(desk.frame(middle), (Rect{1720, 25, 1720, 1415}));
    EXPECT_EQ(desk.frame(last), (Rect{2293, 25, 1147, 1415})) << "its tile is gone";
    EXPECT_TRUE(writesOf(last).empty());

    desk.windows().clearWrites();
    follower.update(wide);
    settle();
    EXPECT_TRUE(desk.windows().writes().empty()) << "already in place: no request";
}

TEST_F(FollowerTest, UpdatesWhileBusyCoalesceIntoOnePassWithTheNewest) {
    const Window left = desk.addWindow(100, {0, 25, 1147, 1415});
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
    EXPECT_EQ(writesOf(left), (std::vector<Rect>{{0, 25, 1376, 1415}})) << "one pass, with the tenth call's tiles";
}

TEST_F(FollowerTest, SlowAndVanishingApplications) {
    desk.addWindow(100, {0, 25, 1147, 1415});
    const Window gone = desk.addWindow(200, {1147, 25, 1146, 1415});
    desk.windows().setResponseDelay(100, 5);
    follower.capture(wide);
    settle();
    ASSERT_EQ(follower.followers().size(), 1U) << "the slow application is skipped";
    EXPECT_LE(desk.windows().secondsWaited(), 0.2 + 1e-9) << "its one request gives up after 0.2 s";
    desk.windows().vanish(gone);
    Settings::setDividers({0.5}, wide);
    follower.update(wide);
    settle();  // the write fails; nothing else happens
    EXPECT_EQ(follower.followers()[0].frame, (Rect{1720, 25, 1720, 1415})) << "the frame takes the target anyway";
}

}  // namespace
}  // namespace marrowick
