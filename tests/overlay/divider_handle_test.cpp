#include "overlay/divider_handle.h"

#include <gtest/gtest.h>

#include <QPixmap>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

class DividerHandleTest : public test::DesktopTest {
protected:
    DividerHandle handle{desk.screens(), desk.pointer()};
};

TEST_F(DividerHandleTest, AStripOverTheUsableExtentCentredOnItsDivider) {
    // The ultrawide's three columns split at 1147 and 2293; its usable frame is natively 25
    // points below the top.
    handle.place(wide, 1);
    EXPECT_EQ(handle.view().geometry(), QRect(2293 - 14, 25, 28, 1415));
    EXPECT_TRUE(handle.view().isVisible());
    EXPECT_EQ(handle.view().cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(handle.index(), 1U);

    Settings::setAxis(Axis::rows, wide);
    handle.place(wide, 0);
    // The top row ends 1415 / 3 = 472 points below the usable top: natively at 25 + 472.
    EXPECT_EQ(handle.view().geometry(), QRect(0, 25 + 472 - 14, 3440, 28));
    EXPECT_EQ(handle.view().axis(), Axis::rows);
    EXPECT_EQ(handle.view().cursor().shape(), Qt::SizeVerCursor);

    handle.hide();
    EXPECT_FALSE(handle.view().isVisible());
    EXPECT_EQ(handle.screen()->name, "Wide") << "kept while hidden";
}

TEST_F(DividerHandleTest, TakesPressesWithoutFocusAboveOtherWindows) {
    const Qt::WindowFlags f = handle.view().windowFlags();
    EXPECT_FALSE(f.testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(handle.view().testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(f.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_EQ(handle.view().focusPolicy(), Qt::NoFocus);
}

TEST_F(DividerHandleTest, FollowsThePointerWhileItsDividerAndMonitorExist) {
    EXPECT_FALSE(handle.followPointer()) << "placed nowhere yet";
    handle.place(wide, 1);
    desk.pointer().location_ = {3300, 700};  // 0.96: stops a tenth from the edge
    ASSERT_TRUE(handle.followPointer());
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{1.0 / 3, 0.9}));

    struct Fault {
        const char* what;
        std::vector<double> stored;
        std::vector<Screen> screens;
    };
    for (const Fault& f : {Fault{"the list shrank under the button", {0.5}, {wide, right}},
                           Fault{"the monitor is gone", {0.3, 0.6}, {right}}}) {
        desk.screens().setScreens({wide, right});
        Settings::setDividers(f.stored, wide);
        desk.screens().setScreens(f.screens);
        desk.pointer().location_ = {1000, 700};
        EXPECT_FALSE(handle.followPointer()) << f.what;
        desk.screens().setScreens({wide, right});
        EXPECT_EQ(Settings::dividers(wide), f.stored) << f.what << ": nothing stored";
    }
}

// White at alpha 0.01, as an 8-bit pixel.
bool faint(const QColor& c) { return c.alpha() > 0 && c.alpha() < 6; }

// The handle as drawn: a faint strip, the accent line, the grip and a white arrow along the
// divider's direction.
TEST_F(DividerHandleTest, DrawsLineGripAndArrowForBothAxes) {
    for (Axis axis : {Axis::columns, Axis::rows}) {
        HandleView& view = handle.view();
        view.setAxis(axis);
        const bool cols = axis == Axis::columns;
        view.resize(cols ? QSize(28, 300) : QSize(300, 28));
        const QImage img = view.grab().toImage();
        const QColor accent = view.palette().color(QPalette::Highlight);
        // (along, across) in the strip's own terms, across measured from its centre line.
        auto at = [&](int along, int across) {
            return cols ? img.pixelColor(14 + across, along) : img.pixelColor(along, 14 + across);
        };
        const char* name = cols ? "columns" : "rows";
        EXPECT_EQ(at(10, 0), accent) << name << ": the line";
        EXPECT_EQ(at(10, -1), accent) << name << ": 2 points wide";
        EXPECT_TRUE(faint(at(10, 4))) << name << ": beside the line, white at alpha 0.01";
        EXPECT_EQ(at(150 - 20, 9), accent) << name << ": the grip, 24 across and 56 along";
        EXPECT_TRUE(faint(at(150 - 30, 9))) << name << ": past the grip's end";
        EXPECT_NE(at(150 - 27, -11), accent) << name << ": the grip's corner is rounded";
        // The arrow: white pixels around the centre, spread along the divider's normal.
        int minA = 1000, maxA = -1, minC = 1000, maxC = -1;
        for (int along = 130; along < 170; ++along) {
            for (int across = -12; across < 12; ++across) {
                const QColor c = at(along, across);
                if (c.red() < 230 || c.green() < 230 || c.blue() < 230) continue;
                minA = std::min(minA, along), maxA = std::max(maxA, along);
                minC = std::min(minC, across), maxC = std::max(maxC, across);
            }
        }
        ASSERT_GE(maxA, 0) << name << ": no white arrow";
        EXPECT_GT(maxC - minC, maxA - minA) << name << ": the arrow points across the divider";
        EXPECT_LT(std::abs((minA + maxA) / 2 - 150), 3) << name << ": centred";
    }
}

}  // namespace
}  // namespace marrowick
