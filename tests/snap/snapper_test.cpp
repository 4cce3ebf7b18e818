#include "snap/snapper.h"

#include <gtest/gtest.h>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

using Request = sim::SimWindows::Request;
const Modifiers alt{Key::alt};

// A window of application 100 at (500, 500, 800, 600): its title bar runs along y 500…528.
class SnapperTest : public test::DesktopTest {
protected:
    SnapperTest() { snapper.begin(); }

    // The snapper's outline: the first surface made on this desktop.
    [[nodiscard]] const sim::OutlineRecord& outline() const { return *desk.surfaces().outlines().at(0); }

    // Presses on the title bar, then drags by (dx, dy) in one step.
    void dragTitleBar(double dx, double dy) {
        desk.mouseDown(grip);
        desk.dragTo({grip.x + dx, grip.y + dy});
    }

    const Point grip{900, 510};
    const Rect firstTile{0, 25, 1147, 1415};
    Window window = desk.addWindow(100, {500, 500, 800, 600});
    Snapper snapper{desk};
};

TEST_F(SnapperTest, TheRoadOfOneSnap) {
    desk.setModifiers(alt);
    desk.mouseDown(grip);
    EXPECT_EQ(snapper.window(), window);
    EXPECT_FALSE(outline().visible);
    desk.dragTo({700, 440});
    ASSERT_TRUE(outline().visible);
    EXPECT_EQ(snapper.target(), firstTile);
    EXPECT_EQ(outline().rect, firstTile);
    EXPECT_EQ(outline().style, Settings::outlineStyle());
    EXPECT_EQ(outline().below, window) << "under the dragged window, which stays in sight";
    desk.dragTo({1500, 440});
    EXPECT_EQ(snapper.target(), (Rect{1147, 25, 1146, 1415})) << "the outline follows the pointer";
    desk.mouseUp();
    EXPECT_FALSE(outline().visible);

    const Rect dropped = *desk.frame(window);
    desk.scheduler().advance(0.049);
    EXPECT_EQ(desk.frame(window), dropped) << "not before 0.05 seconds";
    desk.scheduler().advance(0.001);
    EXPECT_EQ(desk.frame(window), (Rect{1147, 25, 1146, 1415}));
    EXPECT_NE(log().find("snapped to (1147.0, 25.0, 1146.0, 1415.0), result ok\n"), std::string::npos) << log();
}

TEST_F(SnapperTest, MovementThreshold) {
    desk.setModifiers(alt);
    struct Case {
        double dx, dy;
        bool arms;
    };
    for (const Case& c :
         {Case{2, 0, false}, Case{1, 1, false}, Case{0, -2, false}, Case{2.5, 0, true}, Case{-1.5, 1.5, true},
          // |dx| + |dy| is the measure, not the straight distance (1.7 here).
          Case{1.2, 1.2, true}}) {
        desk.windows().place(window, {500, 500, 800, 600});
        dragTitleBar(c.dx, c.dy);
        EXPECT_EQ(snapper.isMoving(), c.arms) << c.dx << ", " << c.dy;
        EXPECT_EQ(outline().visible, c.arms);
        desk.mouseUp();
    }
}

TEST_F(SnapperTest, ExactModifierMatch) {
    struct Case {
        Modifiers held;
        Modifiers keys;
        bool arms;
    };
    for (const Case& c : {Case{alt, alt, true}, Case{{Key::alt, Key::shift}, alt, false}, Case{{}, alt, false},
                          Case{{Key::control, Key::shift}, {Key::control, Key::shift}, true},
                          Case{{Key::control}, {Key::control, Key::shift}, false}}) {
        Settings::setKeys(c.keys);
        desk.setModifiers(c.held);
        desk.windows().place(window, {500, 500, 800, 600});
        dragTitleBar(-200, -100);
        EXPECT_EQ(outline().visible, c.arms) << int(c.held.bits());
        desk.mouseUp();
        desk.scheduler().advance(1);
        EXPECT_EQ(desk.frame(window) == firstTile, c.arms) << int(c.held.bits());
    }
}

TEST_F(SnapperTest, KeysPressedMidDragArmAtTheModifierEvent) {
    dragTitleBar(-200, -100);
    EXPECT_TRUE(snapper.isMoving());
    EXPECT_FALSE(outline().visible);
    desk.setModifiers(alt);
    EXPECT_TRUE(outline().visible) << "no mouse movement needed";
    desk.keyDown();
    EXPECT_TRUE(outline().visible) << "a key press keeps the snap";
    desk.setModifiers({});
    EXPECT_FALSE(outline().visible);
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_EQ(desk.frame(window), (Rect{300, 400, 800, 600})) << "left where the drag put it";
}

TEST_F(SnapperTest, AKeyThatCancelsTheWindowMoveCancelsTheSnap) {
    desk.setModifiers(alt);
    dragTitleBar(-200, -100);
    ASSERT_TRUE(outline().visible);
    desk.keyDown(true);  // Escape, which makes window managers put the window back
    EXPECT_FALSE(outline().visible);
    desk.dragTo({600, 540});
    EXPECT_FALSE(outline().visible) << "the rest of the drag is not armed again";
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_NE(desk.frame(window), firstTile);
    EXPECT_EQ(log().find("snapped to"), std::string::npos) << log();
}

TEST_F(SnapperTest, NothingHappensWithoutAWindowMove) {
    desk.setModifiers(alt);
    desk.mouseDown({900, 800});  // inside the content: the window does not move
    desk.dragTo({600, 700});
    EXPECT_FALSE(snapper.isMoving());
    EXPECT_FALSE(outline().visible);
    desk.mouseUp();
    desk.mouseDown(grip);  // a click
    desk.mouseUp();
    desk.mouseDown({2000, 300});  // the desktop
    desk.dragTo({2100, 300});
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U);
}

TEST_F(SnapperTest, EdgeBandAndTileChanges) {
    desk.setModifiers(alt);
    dragTitleBar(-200, -100);
    EXPECT_TRUE(outline().visible);
    desk.dragTo({20, 700});  // left band
    EXPECT_FALSE(outline().visible);
    desk.dragTo({1150, 700});  // back over a tile
    EXPECT_TRUE(outline().visible);
    desk.dragTo({3500, 700});  // the right screen has no sections
    EXPECT_FALSE(outline().visible);
    desk.dragTo({15, 440});
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U) << "a release in the band moves nothing";
}

TEST_F(SnapperTest, ReleaseOverTheGapUsesTheSectionUnderThePointer) {
    Settings::setGap(10, wide);
    desk.setModifiers(alt);
    desk.mouseDown(grip);
    desk.dragTo({1150, 440});
    desk.mouseUp();
    desk.scheduler().advance(0.05);
    EXPECT_EQ(desk.frame(window), (Rect{1152, 25, 1136, 1415}));
}

TEST_F(SnapperTest, WindowsThatGoAwayOrMisbehave) {
    desk.setModifiers(alt);
    // Gone between release and move: the move fails and says so.
    dragTitleBar(-200, -100);
    desk.mouseUp();
    desk.windows().vanish(window);
    desk.scheduler().advance(0.05);
    EXPECT_NE(log().find("result gone\n"), std::string::npos) << log();

    // Gone before the threshold: nothing.
    const Window w2 = desk.addWindow(100, {500, 500, 800, 600});
    desk.mouseDown(grip);
    desk.windows().vanish(w2);
    desk.dragTo({700, 440});
    EXPECT_FALSE(outline().visible);
    desk.mouseUp();

    // A frame that cannot be read: never armed.
    const Window w3 = desk.addWindow(100, {500, 500, 800, 600});
    desk.windows().fail(w3, Request::frame, WindowError::busy);
    dragTitleBar(-200, -100);
    EXPECT_FALSE(outline().visible);
    desk.mouseUp();
    EXPECT_EQ(desk.scheduler().pending(), 0U);
}

TEST_F(SnapperTest, AHungApplicationCostsAtMostTheRequestTimeout) {
    desk.windows().setResponseDelay(100, 1e9);
    desk.setModifiers(alt);
    dragTitleBar(-200, -100);
    EXPECT_EQ(snapper.window(), std::nullopt);
    EXPECT_LE(desk.windows().secondsWaited(), 0.2 + 1e-9);
    desk.mouseUp();
}

// Our own windows (the settings window) are dragged with presses that go to our own watchers:
// with the keys held they are never outlined nor snapped.
TEST_F(SnapperTest, DraggingOurOwnWindowNeverSnaps) {
    desk.ownWindowAt = [](Point) { return true; };
    desk.setModifiers(alt);
    desk.mouseDown(grip);
    // The window under the pointer moves along, as our own window does under its manager.
    desk.windows().place(window, {100, 400, 800, 600});
    desk.dragTo({500, 410});
    EXPECT_FALSE(outline().visible);
    EXPECT_FALSE(snapper.target().has_value());
    desk.mouseUp();
    desk.scheduler().advance(1);
    EXPECT_EQ(log().find("snapped to"), std::string::npos) << log();
}

TEST_F(SnapperTest, ANewDragDoesNotDisturbAPendingMove) {
    desk.setModifiers(alt);
    dragTitleBar(-200, -100);
    desk.mouseUp();
    const Window other = desk.addWindow(100, {2000, 200, 400, 300});
    desk.mouseDown({2100, 210});
    desk.dragTo({2500, 210});
    desk.scheduler().advance(0.05);
    EXPECT_EQ(desk.frame(window), firstTile);
    EXPECT_TRUE(outline().visible) << "the second drag goes on";
    EXPECT_EQ(snapper.window(), other);
}

// Records the live overlay's hooks with what the snapper knew at that moment.
class RecordingOverlay : public OverlayHooks {
public:
    void interrupt() override {
        calls.push_back(snapper != nullptr && snapper->window() ? "interrupt, window known" : "interrupt");
    }
    void keysChanged(Modifiers held) override {
        calls.push_back("keysChanged " + std::to_string(held.bits()) + (outline->visible ? ", outline shown" : ""));
    }
    std::vector<std::string> calls;
    const Snapper* snapper = nullptr;
    const sim::OutlineRecord* outline = nullptr;
};

TEST_F(SnapperTest, TheOverlayHearsOfPressesKeysAndModifiersFirst) {
    RecordingOverlay overlay;
    Snapper hooked{desk, &overlay};
    overlay.outline = desk.surfaces().outlines().back().get();
    overlay.snapper = &hooked;
    hooked.begin();
    desk.mouseDown(grip);
    desk.dragTo({700, 440});
    desk.setModifiers(alt);  // the outline shows after the hook
    desk.keyDown();
    desk.mouseDown(grip);  // the hook runs before the last press's window is forgotten
    desk.mouseUp();
    desk.ownAppFocused = true;
    desk.keyDown();  // keys typed into our own windows too
    EXPECT_EQ(overlay.calls, (std::vector<std::string>{"interrupt", "keysChanged 4", "interrupt, window known",
                                                       "interrupt, window known", "interrupt"}));
}

}  // namespace
}  // namespace marrowick
