#include "overlay/divider_handle.h"

#include <gtest/gtest.h>

#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

class DividerHandleTest : public test::DesktopTest {
protected:
    DividerHandle handle{desk};
    const sim::HandleRecord& surface() const { return *desk.surfaces().handles().back(); }
};

TEST_F(DividerHandleTest, AStripOverTheWorkAreaCentredOnItsDivider) {
    // The ultrawide's three columns split at 1147 and 2293; its work area starts 25 pixels down.
    handle.place(wide, 1);
    EXPECT_EQ(surface().rect, (Rect{2293 - 14, 25, 28, 1415}));
    EXPECT_TRUE(surface().visible);
    EXPECT_EQ(surface().axis, Axis::columns);
    EXPECT_EQ(handle.index(), 1U);

    Settings::setAxis(Axis::rows, wide);
    handle.place(wide, 0);
    // The top row ends a third of 1415 below the work area's top: 25 + 471.67, rounded to 497.
    EXPECT_EQ(surface().rect, (Rect{0, 497 - 14, 3440, 28}));
    EXPECT_EQ(surface().axis, Axis::rows);

    handle.hide();
    EXPECT_FALSE(surface().visible);
    EXPECT_EQ(handle.screen()->name, "Wide") << "kept while hidden";
}

TEST_F(DividerHandleTest, FollowsThePointerWhileItsDividerAndMonitorExist) {
    EXPECT_FALSE(handle.followPointer()) << "placed nowhere yet";
    handle.place(wide, 1);
    desk.pointer().location_ = {3300, 700};  // 0.96: stops a tenth from the edge
    ASSERT_TRUE(handle.followPointer());
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{1.0 / 3, 0.9}));

    Settings::setAxis(Axis::rows, right);
    Settings::setDividers({0.5}, right);
    handle.place(right, 0);
    desk.pointer().location_ = {4000, 25 + 0.2 * 1055};  // measured from the top
    ASSERT_TRUE(handle.followPointer());
    EXPECT_EQ(Settings::dividers(right), (std::vector<double>{0.2}));

    handle.place(wide, 1);
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

}  // namespace
}  // namespace marrowick
