#include "overlay/live_overlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "overlay_fixture.h"

namespace marrowick {
namespace {

using test::OverlayTest;

// The ultrawide starts with three even columns (dividers at 1147 and 2293), the other monitor
// with no sections.
class LiveOverlayTest : public OverlayTest {
protected:
    // One letter per event:
    //   K  exactly the drag keys (Option)    E  the drag keys and Shift    R  no modifier
    //   w  0.4 s pass                         W  0.5 s pass
    //   M  a click in another application     O  a click in one of our own windows
    //   T  a key typed                        B/b  the right button goes down/up (no event)
    //   H  press on the first handle          D  drag it 50 points right   U  release it
    void run(const std::string& events) {
        for (char c : events) {
            switch (c) {
                case 'K':
                    desk.setModifiers(Modifier::option);
                    break;
                case 'E':
                    desk.setModifiers(Modifier::option | Modifier::shift);
                    break;
                case 'R':
                    desk.setModifiers(0);
                    break;
                case 'w':
                    desk.scheduler().advance(0.4);
                    break;
                case 'W':
                    desk.scheduler().advance(LiveOverlay::overlayDelay);
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
                    desk.pointer().buttons_ |= 2U;
                    break;
                case 'b':
                    desk.pointer().buttons_ &= ~2U;
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

// Outline k and handle k, as native window geometry.
QRect outlineGeometry(const LiveOverlay& o, std::size_t k) { return o.outlines()[k].window().geometry(); }
QRect handleGeometry(const LiveOverlay& o, std::size_t k) { return o.handles()[k]->view().geometry(); }

TEST_F(LiveOverlayTest, EveryMonitorWithSectionsShowsItsTilesAndDividers) {
    run("KW");
    ASSERT_EQ(visibleOutlines(), 3U) << "none on the monitor without sections";
    EXPECT_EQ(outlineGeometry(*overlay, 2), QRect(2293, 25, 1147, 1415));
    EXPECT_EQ(handleGeometry(*overlay, 1), QRect(2293 - 14, 25, 28, 1415));
    run("R");
    Settings::setAxis(Axis::rows, right);
    Settings::setDividers({0.5}, right);
    Settings::setGap(10, right);
    run("KW");
    ASSERT_EQ(visibleOutlines(), 5U);
    // The right monitor's visible frame (3440, 0, 1920, 1055) is natively (3440, 385, 1920,
    // 1055); its rows split 528 points above its bottom (native y 912), 5 points of gap each side.
    EXPECT_EQ(outlineGeometry(*overlay, 3), QRect(3440, 385, 1920, 527 - 5));
    EXPECT_EQ(outlineGeometry(*overlay, 4), QRect(3440, 912 + 5, 1920, 528 - 5));
    ASSERT_EQ(visibleHandles(), 3U);
    EXPECT_EQ(handleGeometry(*overlay, 2), QRect(3440, 912 - 14, 1920, 28));
    EXPECT_EQ(overlay->handles()[2]->view().axis(), Axis::rows);
}

TEST_F(LiveOverlayTest, SurplusWindowsAreHiddenAndReused) {
    Settings::setDividers({0.5}, right);
    run("KW");
    ASSERT_EQ(overlay->outlines().size(), 5U);
    ASSERT_EQ(overlay->handles().size(), 3U);
    const QWidget* firstHandle = &overlay->handles()[0]->view();
    run("R");
    Settings::setDividers({}, right);
    Settings::setDividers({0.5}, wide);
    run("KW");
    EXPECT_EQ(visibleOutlines(), 2U);
    EXPECT_EQ(visibleHandles(), 1U);
    EXPECT_EQ(overlay->outlines().size(), 5U) << "the pools never shrink";
    EXPECT_EQ(overlay->handles().size(), 3U);
    EXPECT_FALSE(overlay->outlines()[4].isVisible());
    EXPECT_FALSE(overlay->handles()[2]->view().isVisible());
    run("R");
    Settings::setDividers({0.25, 0.5, 0.75}, wide);
    run("KW");
    EXPECT_EQ(visibleOutlines(), 4U);
    EXPECT_EQ(visibleHandles(), 3U);
    EXPECT_EQ(overlay->handles().size(), 3U) << "no new window while the pool has enough";
    EXPECT_EQ(&overlay->handles()[0]->view(), firstHandle);
}

TEST_F(LiveOverlayTest, HandleDragStoresHundredthsRelaysOutAndWindowsFollow) {
    desk.addApplication(100);
    const Element left = desk.addWindow(100, {0, 0, 1147, 1415});
    const Element middle = desk.addWindow(100, {1147, 0, 1146, 1415});
    int posts = 0;
    const Subscription observer =
        desk.notifications().addObserver(std::string(Settings::dividersChanged), [&] { ++posts; });
    run("KW");
    const Point grip = handleCentre(0);
    press(grip);
    follower.queue().drain();
    EXPECT_NE(log().find("following 2 windows"), std::string::npos) << "captured at the press";
    EXPECT_EQ(posts, 0);

    dragTo({1500.4, grip.y});  // 1500.4 / 3440 = 0.436
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{0.44, 2.0 / 3}));
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(handleGeometry(*overlay, 0), QRect(1514 - 14, 25, 28, 1415)) << "laid out at the new divider at once";
    EXPECT_EQ(outlineGeometry(*overlay, 0), QRect(0, 25, 1514, 1415));
    follower.queue().drain();
    EXPECT_EQ(desk.frame(left), (Rect{0, 0, 1514, 1415}));
    EXPECT_EQ(desk.frame(middle), (Rect{1514, 0, 779, 1415}));

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
    dragTo({grip.x, grip.y + 211});  // 211 of 1055 points up: a fifth
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
    for (const auto& h : overlay->handles()) {
        if (h->view().isVisible()) {
            EXPECT_EQ(h->screen()->name, "Wide");
        }
    }
    // A drag that loses its monitor under the button ends there; the overlay hides at the
    // release of the keys as usual.
    desk.screens().setScreens({wide, right});
    const Point grip = handleCentre(2);
    press(grip);
    ASSERT_TRUE(overlay->dragging());
    desk.screens().setScreens({wide});
    EXPECT_FALSE(overlay->dragging());
    run("R");
    EXPECT_EQ(visibleOutlines(), 0U);
    desk.mouseUp();
}

}  // namespace
}  // namespace marrowick
