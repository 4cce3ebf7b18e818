#include "snap/snapper.h"

#include <gtest/gtest.h>

#include "platform/modifiers.h"
#include "support/desktop_fixture.h"
#include "support/recording_outline.h"

namespace marrowick {
namespace {

using Modifier::option;

// A window of application 100 at (500, 500, 800, 600): its title bar runs along y 1072…1100.
class SnapperTest : public test::DesktopTest {
protected:
    SnapperTest() {
        desk.addApplication(100);
        window = desk.addWindow(100, {500, 500, 800, 600});
        snapper.begin();
    }

    // Presses on the title bar, then drags by (dx, dy) in one step.
    void dragTitleBar(double dx, double dy) {
        desk.mouseDown(grip);
        desk.dragTo({grip.x + dx, grip.y + dy});
    }

    const Point grip{900, 1085};
    const Rect firstTile{0, 0, 1147, 1415};
    Element window;
    std::unique_ptr<test::RecordingOutline> owned = std::make_unique<test::RecordingOutline>();
    test::RecordingOutline* outline = owned.get();
    Snapper snapper{desk, std::move(owned)};
};

TEST_F(SnapperTest, TheRoadOfOneSnap) {
    desk.setModifiers(option);
    desk.mouseDown(grip);
    EXPECT_EQ(snapper.window(), window);
    EXPECT_FALSE(outline->isVisible());
    desk.dragTo({700, 1000});
    ASSERT_TRUE(outline->isVisible());
    EXPECT_EQ(snapper.target(), firstTile);
    EXPECT_EQ(outline->shown, firstTile);
    desk.dragTo({1500, 1000});
    EXPECT_EQ(snapper.target(), (Rect{1147, 0, 1146, 1415})) << "the outline follows the pointer";
    desk.mouseUp();
    EXPECT_FALSE(outline->isVisible());

    const Rect dropped = *desk.frame(window);
    desk.scheduler().advance(0.049);
    EXPECT_EQ(desk.frame(window), dropped) << "not before 0.05 seconds";
    desk.scheduler().advance(0.001);
    EXPECT_EQ(desk.frame(window), (Rect{1147, 0, 1146, 1415}));
    EXPECT_NE(log().find("snapped to (1147.0, 0.0, 1146.0, 1415.0), AX result 0\n"), std::string::npos) << log();
}

TEST_F(SnapperTest, MovementThreshold) {
    desk.setModifiers(option);
    struct Case {
        double dx, dy;
        bool arms;
    };
    for (const Case& c :
         {Case{2, 0, false}, Case{1, 1, false}, Case{0, -2, false}, Case{2.5, 0, true}, Case{-1.5, 1.5, true},
          // |dx| + |dy| is the measure, not the straight distance (1.7 here).
          Case{1.2, 1.2, true}}) {
        desk.accessibility().setFrame(window, desk.toAX(Rect{500, 500, 800, 600}));
        dragTitleBar(c.dx, c.dy);
        EXPECT_EQ(snapper.isMoving(), c.arms) << c.dx << ", " << c.dy;
        EXPECT_EQ(outline->isVisible(), c.arms);
        desk.mouseUp();
    }
}

TEST_F(SnapperTest, ExactModifierMatch) {
    struct Case {
        std::uint64_t flags;
        std::uint64_t keys;
        bool arms;
    };
    using namespace Modifier;
    for (const Case& c :
         {Case{option, option, true}, Case{option | capsLock, option, true}, Case{option | shift, option, false},
          Case{0, option, false}, Case{control | shift, control | shift, true}, Case{control, control | shift, false},
          Case{option | 0x800000 /* Fn */, option, true}}) {
        Settings::setKeys(c.keys);
        desk.setModifiers(c.flags);
        desk.accessibility().setFrame(window, desk.toAX(Rect{500, 500, 800, 600}));
        dragTitleBar(-200, -100);
        EXPECT_EQ(outline->isVisible(), c.arms) << std::hex << c.flags;
        desk.mouseUp();
        desk.scheduler().advance(1);
        EXPECT_EQ(desk.frame(window) == firstTile, c.arms) << std::hex << c.flags;
    }
}

TEST_F(SnapperTest, KeysPressedMidDragArmAtTheFlagsEvent) {
    dragTitleBar(-200, -100);
    EXPECT_TRUE(snapper.isMoving());
    EXPECT_FALSE(outline->isVisible());
    desk.setModifiers(option);
    EXPECT_TRUE(outline->isVisible()) << "no mouse movement needed";
    desk.keyDown();
    EXPECT_TRUE(outline->isVisible()) << "a key press keeps the snap";
    desk.setModifiers(0);
    EXPECT_FALSE(outline->isVisible());
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_EQ(desk.frame(window), (Rect{300, 400, 800, 600})) << "left where the drag put it";
}

TEST_F(SnapperTest, AKeyThatCancelsTheWindowMoveCancelsTheSnap) {
    desk.setModifiers(option);
    dragTitleBar(-200, -100);
    ASSERT_TRUE(outline->isVisible());
    // What X11 reports for Escape, which makes its window managers put the window back.
    desk.input().dispatch({EventType::keyDown, option, true}, false);
    EXPECT_FALSE(outline->isVisible());
    desk.dragTo({600, 900});
    EXPECT_FALSE(outline->isVisible()) << "the rest of the drag is not armed again";
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_NE(desk.frame(window), firstTile);
    EXPECT_EQ(log().find("snapped to"), std::string::npos) << log();
}

TEST_F(SnapperTest, NothingHappensWithoutAWindowMove) {
    desk.setModifiers(option);
    desk.mouseDown({900, 800});  // inside the content: the window does not move
    desk.dragTo({600, 700});
    EXPECT_FALSE(snapper.isMoving());
    EXPECT_FALSE(outline->isVisible());
    desk.mouseUp();
    desk.mouseDown(grip);  // a click
    desk.mouseUp();
    desk.mouseDown({2000, 300});  // the desktop
    desk.dragTo({2100, 300});
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U);
}

TEST_F(SnapperTest, EdgeBandAndTileChanges) {
    desk.setModifiers(option);
    dragTitleBar(-200, -100);
    EXPECT_TRUE(outline->isVisible());
    desk.dragTo({20, 700});  // left band
    EXPECT_FALSE(outline->isVisible());
    desk.dragTo({1150, 700});  // back over a tile
    EXPECT_TRUE(outline->isVisible());
    desk.dragTo({3500, 700});  // the right screen has no sections
    EXPECT_FALSE(outline->isVisible());
    desk.dragTo({15, 1000});
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U) << "a release in the band moves nothing";
}

TEST_F(SnapperTest, ReleaseOverTheGapUsesTheSectionUnderThePointer) {
    Settings::setGap(10, wide);
    desk.setModifiers(option);
    desk.mouseDown(grip);
    desk.dragTo({1150, 1000});
    desk.mouseUp();
    desk.scheduler().advance(0.05);
    EXPECT_EQ(desk.frame(window), (Rect{1152, 0, 1136, 1415}));
}

TEST_F(SnapperTest, WindowsThatGoAwayOrMisbehave) {
    desk.setModifiers(option);
    // Gone between release and move: the move fails and says so.
    dragTitleBar(-200, -100);
    desk.mouseUp();
    desk.accessibility().vanish(window);
    desk.scheduler().advance(0.05);
    EXPECT_NE(log().find("AX result -25202"), std::string::npos);

    // Gone before the threshold: nothing.
    const Element w2 = desk.addWindow(100, {500, 500, 800, 600});
    desk.mouseDown(grip);
    desk.accessibility().vanish(w2);
    desk.dragTo({700, 1000});
    EXPECT_FALSE(outline->isVisible());
    desk.mouseUp();

    // A position of the wrong type: never armed.
    const Element w3 = desk.addWindow(100, {500, 500, 800, 600});
    desk.accessibility().overrideAttribute(w3, "AXPosition", Value("top left"));
    dragTitleBar(-200, -100);
    EXPECT_FALSE(outline->isVisible());
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U);
}

TEST_F(SnapperTest, AHungApplicationCostsAtMostTheRequestTimeout) {
    desk.accessibility().setResponseDelay(100, 1e9);
    desk.setModifiers(option);
    dragTitleBar(-200, -100);
    EXPECT_EQ(snapper.window(), std::nullopt);
    EXPECT_LE(desk.accessibility().secondsWaited(), 0.2 + 1e-6);
    desk.mouseUp();
}

TEST_F(SnapperTest, AMonitorThePlatformRefusesLeavesTheOtherWorking) {
    sim::SimDesktop other;
    other.input().refuseGlobal = true;
    Snapper refused{other, std::make_unique<test::RecordingOutline>()};
    refused.begin();
    EXPECT_EQ(other.input().globalCount(), 0U);
    EXPECT_EQ(other.input().localCount(), 1U);
}

TEST_F(SnapperTest, LocalEventsPassThroughUnchanged) {
    desk.ownAppFocused = true;
    const auto delivered = desk.input().dispatch({EventType::flagsChanged, option}, true);
    EXPECT_EQ(delivered, (Event{EventType::flagsChanged, option}));
    EXPECT_EQ(desk.input().dispatch({EventType::keyDown, 0}, true), (Event{EventType::keyDown, 0}));
}

// Our own windows (the settings window) are dragged through the local monitor, which asks for
// no mouse events: with the keys held they are never outlined nor snapped.
TEST_F(SnapperTest, DraggingOurOwnWindowNeverSnaps) {
    desk.ownWindowAt = [](Point) { return true; };
    desk.setModifiers(option);
    desk.mouseDown(grip);
    // The window under the pointer moves along, as our own window does under its manager.
    desk.accessibility().setAttribute(window, "AXPosition", Value(desk.toAX(Rect{100, 400, 800, 600}).origin()));
    desk.dragTo({500, 985});
    EXPECT_FALSE(outline->isVisible());
    EXPECT_FALSE(snapper.target().has_value());
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_EQ(log().find("snapped to"), std::string::npos) << log();
}

TEST_F(SnapperTest, ANewDragDoesNotDisturbAPendingMove) {
    desk.setModifiers(option);
    dragTitleBar(-200, -100);
    desk.mouseUp();
    const Element other = desk.addWindow(100, {2000, 200, 400, 300});
    desk.mouseDown({2100, 490});
    desk.dragTo({2500, 490});
    desk.scheduler().advance(0.05);
    EXPECT_EQ(desk.frame(window), firstTile);
    EXPECT_TRUE(outline->isVisible()) << "the second drag goes on";
    EXPECT_EQ(snapper.window(), other);
}

// Records the live overlay's hooks with what the snapper knew at that moment.
class RecordingOverlay : public OverlayHooks {
public:
    void interrupt() override {
        calls.push_back(snapper != nullptr && snapper->window() ? "interrupt, window known" : "interrupt");
    }
    void keysChanged(std::uint64_t flags) override {
        calls.push_back("keysChanged " + std::to_string(flags) + (outline->isVisible() ? ", outline shown" : ""));
    }
    std::vector<std::string> calls;
    const Snapper* snapper = nullptr;
    const test::RecordingOutline* outline = nullptr;
};

TEST_F(SnapperTest, TheOverlayHearsOfPressesKeysAndModifiersFirst) {
    RecordingOverlay overlay;
    auto owned2 = std::make_unique<test::RecordingOutline>();
    overlay.outline = owned2.get();
    Snapper hooked{desk, std::move(owned2), &overlay};
    overlay.snapper = &hooked;
    hooked.begin();
    desk.mouseDown(grip);
    desk.dragTo({700, 1000});
    desk.setModifiers(option);  // the outline shows after the hook
    desk.keyDown();
    desk.mouseDown(grip);  // the hook runs before the last press's window is forgotten
    desk.mouseUp();
    desk.ownAppFocused = true;
    desk.keyDown();  // keys typed into our own windows too
    EXPECT_EQ(overlay.calls, (std::vector<std::string>{"interrupt", "keysChanged 524288", "interrupt, window known",
                                                       "interrupt, window known", "interrupt"}));
}

}  // namespace
}  // namespace marrowick
