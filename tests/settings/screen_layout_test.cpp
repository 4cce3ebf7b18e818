#include "settings/screen_layout.h"

#include <gtest/gtest.h>

#include "support/settings_fixture.h"

namespace marrowick {
namespace {

using test::SettingsTest;

class Pointer : public SettingsTest {
protected:
    Pointer() {
        Settings::setDividers({1.0 / 3, 2.0 / 3}, wide);
        Settings::setGap(10, wide);
    }
    // A 25-pixel panel along the top of the ultrawide.
    Screen wide = screen(Rect{0, 0, 3440, 1440}, Rect{0, 25, 3440, 1415}, "Wide");
    Screen right = screen(Rect{3440, 0, 1920, 1080}, "Right");
};

TEST_F(Pointer, ScreenTilesUseTheStoredLayout) {
    EXPECT_EQ(tiles(wide), (std::vector<Rect>{{0, 25, 1142, 1415}, {1152, 25, 1136, 1415}, {2298, 25, 1142, 1415}}));
    EXPECT_EQ(sections(wide).size(), 3U);
    EXPECT_TRUE(tiles(right).empty());
}

TEST_F(Pointer, HitTestTable) {
    const std::vector<Screen> both{wide, right};
    const std::optional<Rect> none;
    const Rect first{0, 25, 1142, 1415};
    const Rect middle{1152, 25, 1136, 1415};
    struct Case {
        Point p;
        std::optional<Rect> expected;
        const char* why;
    };
    for (const Case& c :
         {Case{{20, 700}, none, "left band"}, Case{{700, 84.9}, none, "top band"},
          Case{{700, 85}, first, "top border of the shrunk rectangle"},
          Case{{700, 1380}, none, "bottom border of the shrunk rectangle"}, Case{{700, 1379}, first, "just inside"},
          Case{{1147, 700}, middle, "shared edge"}, Case{{1146.5, 700}, first, "left of the edge"},
          Case{{1150, 700}, middle, "over the gap"}, Case{{3440, 500}, none, "second screen has no sections"},
          Case{{3439.5, 500}, none, "first screen's right band"}, Case{{-5, 500}, none, "no screen"}}) {
        EXPECT_EQ(tileUnderPointer(c.p, both), c.expected) << c.why;
    }
}

TEST_F(Pointer, OnlyTheScreenUnderThePointerIsTried) {
    Settings::setDividers({0.5}, right);
    const std::vector<Screen> both{wide, right};
    EXPECT_EQ(tileUnderPointer({3500, 500}, both), (Rect{3440, 0, 960, 1080}));
    EXPECT_EQ(tileUnderPointer({3460, 500}, both), std::nullopt) << "its own band";
    const Screen tiny = screen(Rect{0, 0, 60, 120}, "Tiny");
    Settings::setDividers({0.5}, tiny);
    EXPECT_EQ(tileUnderPointer({30, 60}, {tiny}), std::nullopt) << "too small to offer a tile";
}

// A monitor shown at 2× (3440 × 1440 points, 6880 × 2880 pixels): the gap and the edge band are
// points, so twice as many pixels; the stored gap stays what the user chose.
TEST_F(Pointer, AtTwiceTheScaleGapAndEdgeBandAreTwiceTheirPixels) {
    Screen dense = screen(Rect{0, 0, 6880, 2880}, Rect{0, 50, 6880, 2830}, "Wide");
    dense.scale = 2;
    EXPECT_EQ(tiles(dense), (std::vector<Rect>{{0, 50, 2283, 2830}, {2303, 50, 2274, 2830}, {4597, 50, 2283, 2830}}));
    EXPECT_DOUBLE_EQ(Settings::gap(dense), 10) << "in points, as stored";
    const std::optional<Rect> none;
    const Rect first{0, 50, 2283, 2830};
    struct Case {
        Point p;
        std::optional<Rect> expected;
        const char* why;
    };
    for (const Case& c : {Case{{59.9, 700}, none, "60-pixel left band"}, Case{{60, 700}, first, "past the band"},
                          Case{{700, 169.9}, none, "120-pixel top band"}, Case{{700, 170}, first, "past it"},
                          Case{{6820, 700}, none, "right band"}}) {
        EXPECT_EQ(tileUnderPointer(c.p, {dense}), c.expected) << c.why;
    }
    // A gap that would leave a tile narrower than a pixel is cut in pixels, then read as points.
    Settings::setGap(1500, dense);
    EXPECT_DOUBLE_EQ(Settings::gap(dense), 2293 / 2.0) << "the middle tile keeps one pixel";
}

}  // namespace
}  // namespace marrowick
