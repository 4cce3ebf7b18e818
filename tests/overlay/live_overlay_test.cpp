#include "overlay/live_overlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "overlay_fixture.h"

namespace marrowick {
namespace {

using test::OverlayTest;

// The ultrawide starts with three even columns (dividers at 1147 and 2293), the other monitor
// with no sections; both have a 25-pixel panel at the top.
class LiveOverlayTest : public OverlayTest {
protected:
    // One letter per event:
    //   K  exactly the drag keys (Alt)       E  the drag keys and Shift    R  no modifier
    //   w  0.4 s pass                         W  0.5 s pass
    //   M  a click in another application     O  a click in one of our own windows
    //   T  a key typed                        B/b  the right button goes down/up (no event)
    //   H  press on the first handle          D  drag it 50 points right   U  release it
    void run(const std::string& events) {
        for (char c : events) {
            switch (c) {
                case 'K':
                    desk.setModifiers({Key::alt});
                    break;
                case 'E':
                    desk.setModifiers({Key::alt, Key::shift});
                    break;
                case 'R':
                    desk.setModifiers({});
                    break;
                case 'w':
                    desk.scheduler().advance(0.4);
                    break;
                case 'W':
                    desk.scheduler().advance(0.5);
                    break;
                case 'M':
                    press({4000, 500}), release();
                    break;
                case 'O':
                    press(ownWindowSpot), release();
                    break;
                case 'T':
                    desk.keyDown();
                    break;
                case 'B':
                    desk.pointer().buttons_ |= Button::right;
                    break;
                case 'b':
                    desk.pointer().buttons_ &= ~Button::right;
                    break;
                case 'H':
                    grip_ = handleCentre(0), press(grip_);
                    break;
                case 'D':
                    grip_.x += 50, dragTo(grip_);
                    break;
                case 'U':
                    release();
                    break;
                default:
                    ADD_FAILURE() << "unknown event " << c;
            }
        }
    }
    // The overlay's state as a user sees it, checked for consistency on the way.
    std::string state() {
        const bool shown = visibleOutlines() > 0;
        EXPECT_EQ(shown, visibleHandles() > 0) << "outlines and handles show together";
        if (shown) {
            EXPECT_EQ(visibleOutlines(), 3U);
            EXPECT_EQ(visibleHandles(), 2U);
        }
        if (overlay->dragging()) return shown ? "Dragging" : "Dragging without overlay";
        if (shown) return "Shown";
        if (overlay->isArmed()) return "Armed";
        return overlay->keysHeld() ? "Held-quiet" : "Idle";
    }

private:
    Point grip_;
};

TEST_F(LiveOverlayTest, StatesAndTransitions) {
    struct Case {
        const char* events;
        const char* state;
    };
    const Case cases[] = {
        {"", "Idle"},
        {"K", "Armed"},
        {"Kw", "Armed"},
        {"KW", "Shown"},
        {"KwRW", "Idle"},  // released before the delay: nothing shows
        {"KWR", "Idle"},
        {"KWK", "Shown"},  // a modifier event that keeps the keys held changes nothing
        // An extra modifier is not the drag keys; dropping it again arms anew.
        {"E", "Idle"},
        {"EW", "Idle"},
        {"KwEW", "Idle"},
        {"KWE", "Idle"},
        {"KWEK", "Armed"},
        {"KWEKW", "Shown"},
        // Keys pressed while a button is down arm nothing, even after the button is up.
        {"BK", "Held-quiet"},
        {"BKbW", "Held-quiet"},
        {"BKbRKW", "Shown"},
        // A window drag starting, or a key typed, hides and cancels until the keys come again.
        {"KwM", "Held-quiet"},
        {"KwMW", "Held-quiet"},
        {"KWM", "Held-quiet"},
        {"KWT", "Held-quiet"},
        {"KwTW", "Held-quiet"},
        {"KWMRKW", "Shown"},
        {"KWRM", "Idle"},
        // Neither another button nor a click on our own windows reaches the overlay.
        {"KwBbW", "Shown"},
        {"KwOW", "Shown"},
        {"KWO", "Shown"},
        // A handle drag: the press never hides the overlay, nor do typing or releasing the keys.
        {"KWH", "Dragging"},
        {"KWHD", "Dragging"},
        {"KWHDT", "Dragging"},
        {"KWHDR", "Dragging"},
        {"KWHDRU", "Idle"},
        {"KWHDU", "Shown"},
        {"KWHDRDKU", "Shown"},
    };
    for (const Case& c : cases) {
        restart();
        run(c.events);
        EXPECT_EQ(state(), c.state) << c.events;
    }
}

TEST_F(LiveOverlayTest, ShowsHalfASecondAfterTheKeys) {
    run("K");
    desk.scheduler().advance(0.499);
    EXPECT_EQ(state(), "Armed");
    desk.scheduler().advance(0.001);
    EXPECT_EQ(state(), "Shown");
}

TEST_F(LiveOverlayTest, WithTheSettingOffNothingShowsButTheKeysAreStillFollowed) {
    store.set(Settings::liveOverlayKey, Value(false));
    run("KW");
    EXPECT_EQ(state(), "Held-quiet");
    EXPECT_EQ(desk.scheduler().pending(), 0U);
    run("R");
    EXPECT_EQ(state(), "Idle");
    store.set(Settings::liveOverlayKey, Value(true));
    run("KW");
    EXPECT_EQ(state(), "Shown") << "read again at the next change";
}

TEST_F(LiveOverlayTest, EveryMonitorWithSectionsShowsItsTilesAndDividers) {
    run("KW");
    ASSERT_EQ(visibleOutlines(), 3U) << "none on the monitor without sections";
    EXPECT_EQ(outline(2).rect, (Rect{2293, 25, 1147, 1415}));
    EXPECT_EQ(outline(2).style, Settings::outlineStyle());
    EXPECT_EQ(handle(1).rect, (Rect{2293 - 14, 25, 28, 1415}));
    EXPECT_EQ(handle(1).axis, Axis::columns);
    run("R");
    Settings::setAxis(Axis::rows, right);
    Settings::setDividers({0.5}, right);
    Settings::setGap(10, right);
    run("KW");
    ASSERT_EQ(visibleOutlines(), 5U);
    // The right monitor's work area (3440, 25, 1920, 1055) splits at 25 + 527.5, rounded to 553,
    // with 5 pixels of gap on each side.
    EXPECT_EQ(outline(3).rect, (Rect{3440, 25, 1920, 528 - 5}));
    EXPECT_EQ(outline(4).rect, (Rect{3440, 553 + 5, 1920, 527 - 5}));
    ASSERT_EQ(visibleHandles(), 3U);
    EXPECT_EQ(handle(2).rect, (Rect{3440, 553 - 14, 1920, 28}));
    EXPECT_EQ(handle(2).axis, Axis::rows);
}

// A 1× ultrawide beside a monitor at 2× (3840 × 2160 pixels): each draws in its own points.
TEST_F(LiveOverlayTest, EachMonitorLaysOutItsHandlesAndGapsAtItsOwnScale) {
    Screen dense{{3440, 0, 3840, 2160}, {3440, 50, 3840, 2110}, std::nullopt, "Dense", 2};
    desk.screens().setScreens({wide, dense});
    Settings::setDividers({0.5}, dense);
    Settings::setGap(10, dense);
    Settings::setGap(10, wide);
    run("KW");
    ASSERT_EQ(visibleHandles(), 3U);
    EXPECT_EQ(handle(1).rect, (Rect{2293 - 14, 25, 28, 1415})) << "28 points at 1×";
    EXPECT_EQ(handle(2).rect, (Rect{5360 - 28, 50, 56, 2110})) << "28 points are 56 pixels at 2×";
    ASSERT_EQ(visibleOutlines(), 5U);
    EXPECT_EQ(outline(1).rect.x - outline(0).rect.maxX(), 10) << "a 10-point gap at 1×";
    EXPECT_EQ(outline(4).rect.x - outline(3).rect.maxX(), 20) << "the same gap at 2×";
    EXPECT_EQ(outline(4).style, Settings::outlineStyle()) << "the style stays in points; the surface scales it";
}

TEST_F(LiveOverlayTest, SurplusSurfacesAreHiddenAndReused) {
    Settings::setDividers({0.5}, right);
    run("KW");
    ASSERT_EQ(overlayOutlines(), 5U);
    ASSERT_EQ(overlay->handles().size(), 3U);
    const sim::HandleRecord* firstHandle = &handle(0);
    run("R");
    Settings::setDividers({}, right);
    Settings::setDividers({0.5}, wide);
    run("KW");
    EXPECT_EQ(visibleOutlines(), 2U);
    EXPECT_EQ(visibleHandles(), 1U);
    EXPECT_EQ(overlayOutlines(), 5U) << "the pools never shrink";
    EXPECT_EQ(overlay->handles().size(), 3U);
    EXPECT_FALSE(outline(4).visible);
    EXPECT_FALSE(handle(2).visible);
    run("R");
    Settings::setDividers({0.25, 0.5, 0.75}, wide);
    run("KW");
    EXPECT_EQ(visibleOutlines(), 4U);
    EXPECT_EQ(visibleHandles(), 3U);
    EXPECT_EQ(overlay->handles().size(), 3U) << "no new surface while the pool has enough";
    EXPECT_EQ(&handle(0), firstHandle);
    const int moves = handle(0).geometryChanges;
    run("R");
    run("KW");
    EXPECT_EQ(handle(0).geometryChanges, moves) << "shown again where it was: its geometry is not set again";
}

TEST_F(LiveOverlayTest, HandleDragStoresHundredthsRelaysOutAndWindowsFollow) {
    const Window left = desk.addWindow(100, {0, 25, 1147, 1415});
    const Window middle = desk.addWindow(100, {1147, 25, 1146, 1415});
    int posts = 0;
    const Subscription observer = notifications.addObserver(std::string(Settings::dividersChanged), [&] { ++posts; });
    run("KW");
    const Point grip = handleCentre(0);
    press(grip);
    follower.queue().drain();
    EXPECT_NE(log().find("following 2 windows"), std::string::npos) << "captured at the press";
    EXPECT_EQ(posts, 0);

    dragTo({1500.4, grip.y});  // 1500.4 / 3440 = 0.436
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{0.44, 2.0 / 3}));
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(handle(0).rect, (Rect{1514 - 14, 25, 28, 1415})) << "laid out at the new divider at once";
    EXPECT_EQ(outline(0).rect, (Rect{0, 25, 1514, 1415}));
    follower.queue().drain();
    EXPECT_EQ(desk.frame(left), (Rect{0, 25, 1514, 1415}));
    EXPECT_EQ(desk.frame(middle), (Rect{1514, 25, 779, 1415}));

    dragTo({-500, grip.y});  // beyond the monitor's edge
    EXPECT_EQ(Settings::dividers(wide)[0], 0.1);
    dragTo({2200, 100});  // past the neighbour: stops a tenth short of it
    EXPECT_NEAR(Settings::dividers(wide)[0], 2.0 / 3 - 0.1, 1e-9);
    EXPECT_EQ(posts, 3);
    release();
    EXPECT_FALSE(overlay->dragging());
    follower.queue().drain();
    EXPECT_EQ(desk.frame(middle)->x, std::round(3440 * (2.0 / 3 - 0.1)));
}

TEST_F(LiveOverlayTest, RowsHandleMovesUpToASmallerFraction) {
    Settings::setAxis(Axis::rows, right);
    Settings::setDividers({0.5}, right);
    run("KW");
    const Point grip = handleCentre(2);
    press(grip);
    dragTo({grip.x, grip.y - 211});  // 211 of 1055 pixels up: a fifth
    EXPECT_EQ(Settings::dividers(right), (std::vector<double>{0.3}));
    release();
}

TEST_F(LiveOverlayTest, AnUnpluggedMonitorLeavesNothingBehind) {
    Settings::setDividers({0.5}, right);
    run("KW");
    ASSERT_EQ(visibleOutlines(), 5U);
    desk.screens().setScreens({wide});
    EXPECT_EQ(visibleOutlines(), 3U);
    EXPECT_EQ(visibleHandles(), 2U);
    for (std::size_t k = 0; k < overlay->handles().size(); ++k) {
        if (handle(k).visible) {
            EXPECT_EQ(overlay->handles()[k]->screen()->name, "Wide");
        }
    }
    // A drag that loses its monitor under the button ends there; the overlay hides at the
    // release of the keys as usual.
    desk.screens().setScreens({wide, right});
    press(handleCentre(2));
    ASSERT_TRUE(overlay->dragging());
    desk.screens().setScreens({wide});
    EXPECT_FALSE(overlay->dragging());
    run("R");
    EXPECT_EQ(visibleOutlines(), 0U);
    release();
}

// Two monitors stacked at the right, both with a divider: a handle held on the upper one while it
// is unplugged must not go on to move the lower one's divider, nor its windows.
TEST_F(LiveOverlayTest, AHandleDragEndsWithItsMonitor) {
    const Screen below{{3440, 1080, 1920, 1080}, {3440, 1080, 1920, 1080}, std::nullopt, "Below"};
    desk.screens().setScreens({wide, right, below});
    Settings::setDividers({}, wide);
    Settings::setDividers({0.5}, right);
    Settings::setDividers({0.5}, below);
    const Window lower = desk.addWindow(100, {3440, 1080, 960, 1080});
    run("KW");
    ASSERT_EQ(visibleHandles(), 2U);
    press(handleCentre(0));  // the upper monitor's
    ASSERT_TRUE(overlay->dragging());
    desk.screens().setScreens({wide, below});
    EXPECT_FALSE(overlay->dragging());
    dragTo({4700, 1500});  // over the lower monitor's divider's handle now
    release();
    follower.queue().drain();
    EXPECT_EQ(Settings::dividers(below), (std::vector<double>{0.5})) << "nothing stored for the other monitor";
    EXPECT_EQ(desk.frame(lower), (Rect{3440, 1080, 960, 1080})) << "its windows stay";
    EXPECT_EQ(Settings::dividers(right), (std::vector<double>{0.5}));
}

}  // namespace
}  // namespace marrowick
