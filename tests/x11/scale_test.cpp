#include <gtest/gtest.h>

#include "platform/x11/x11_scale.h"

namespace marrowick::x11 {
namespace {

// Pixels per point of the two test monitors, LEFT (primary, first) and RIGHT, as Qt would scale
// our windows on them.
TEST(MonitorScale, FollowsQtsVariablesThenXftDpiThenGdkScale) {
    struct Case {
        ScaleSettings settings;
        double left, right;
        const char* why;
    };
    const std::optional<double> none;
    for (const Case& c : {
             Case{{}, 1, 1, "nothing set"},
             Case{{"", none, 192, none}, 2, 2, "Xft.dpi 192, as Xfce, MATE and Cinnamon set for 2x"},
             Case{{"", none, 144, none}, 1.5, 1.5, "fractional"},
             Case{{"", none, 72, none}, 1, 1, "never below 1"},
             Case{{"LEFT=1;RIGHT=2", none, none, none}, 1, 2, "by name"},
             Case{{"RIGHT=2", none, 192, none}, 2, 2, "a monitor not named keeps Xft.dpi"},
             Case{{"LEFT=1", none, 192, none}, 1, 2, "a named factor wins over Xft.dpi"},
             Case{{"1.25;2", none, none, none}, 1.25, 2, "by position, primary first"},
             Case{{"x;2", none, none, none}, 2, 1, "an entry that is no number is dropped, as Qt drops it"},
             Case{{"", 2, none, none}, 2, 2, "QT_SCALE_FACTOR for every monitor"},
             Case{{"", 1.5, 192, none}, 3, 3, "QT_SCALE_FACTOR multiplies, as in Qt"},
             Case{{"", none, none, 2}, 2, 2, "GDK_SCALE where nothing else says anything"},
             Case{{"", none, 96, 2}, 1, 1, "Xft.dpi wins over GDK_SCALE"},
             Case{{"", 1, none, 2}, 1, 1, "as does a Qt variable"},
         }) {
        EXPECT_DOUBLE_EQ(monitorScale(c.settings, "LEFT", 0), c.left) << c.why;
        EXPECT_DOUBLE_EQ(monitorScale(c.settings, "RIGHT", 1), c.right) << c.why;
    }
}

TEST(MonitorScale, XftDpiIsReadFromTheResourcesAndGdkScaleIsHandedToQt) {
    EXPECT_EQ(xftDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
    EXPECT_EQ(xftDpi("Xft.dpi: 144.5"), 144.5);
    EXPECT_EQ(xftDpi("Xcursor.size: 48\n"), std::nullopt);
    EXPECT_EQ(xftDpi("Xft.dpi: big\n"), std::nullopt);
    EXPECT_EQ(xftDpi("Xft.dpi: 0\n"), std::nullopt);
    EXPECT_EQ(xftDpi(""), std::nullopt);

    const std::optional<double> none;
    EXPECT_EQ(qtScaleFactorHint({"", none, none, 2}), "2");
    EXPECT_EQ(qtScaleFactorHint({"", none, 192, 2}), std::nullopt) << "Qt reads Xft.dpi itself";
    EXPECT_EQ(qtScaleFactorHint({"", 1.5, none, 2}), std::nullopt);
    EXPECT_EQ(qtScaleFactorHint({}), std::nullopt);
    // Once handed over, the hint is Qt's factor and the monitors' scale stays what it was.
    EXPECT_DOUBLE_EQ(monitorScale({"", 2, none, 2}, "LEFT", 0), 2);
}

}  // namespace
}  // namespace marrowick::x11
