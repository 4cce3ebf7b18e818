#include <gtest/gtest.h>

#include "geometry/dividers.h"
#include "geometry/sections.h"
#include "support/settings_fixture.h"

namespace marrowick {
namespace {

using test::SettingsTest;

TEST(EvenDividers, Counts) {
    EXPECT_TRUE(evenDividers(0).empty());
    EXPECT_TRUE(evenDividers(1).empty());
    EXPECT_EQ(evenDividers(2), (std::vector<double>{0.5}));
    EXPECT_EQ(evenDividers(4), (std::vector<double>{0.25, 0.5, 0.75}));
    const auto ten = evenDividers(10);
    ASSERT_EQ(ten.size(), 9U);
    for (int k = 1; k < 10; ++k) EXPECT_EQ(ten[static_cast<std::size_t>(k - 1)], k / 10.0);
}

struct MoveCase {
    std::vector<double> list;
    std::size_t index;
    double to;
    std::vector<double> expected;
};

class Moving : public ::testing::TestWithParam<MoveCase> {};

TEST_P(Moving, SnapsToHundredthsWithinBounds) {
    const MoveCase& c = GetParam();
    const std::vector<double> before = c.list;
    const auto result = moving(c.list, c.index, c.to);
    ASSERT_EQ(result.size(), c.expected.size());
    for (std::size_t i = 0; i < result.size(); ++i) EXPECT_DOUBLE_EQ(result[i], c.expected[i]) << "divider " << i;
    EXPECT_EQ(c.list, before) << "the argument is left unchanged";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Moving,
    ::testing::Values(MoveCase{{0.5}, 0, 0.734, {0.73}}, MoveCase{{0.5}, 0, 0.95, {0.9}},
                      MoveCase{{0.5}, 0, 0.02, {0.1}}, MoveCase{{0.5}, 0, 0.125, {0.13}},
                      MoveCase{{0.5}, 0, -3, {0.1}}, MoveCase{{0.5}, 0, 7, {0.9}},
                      MoveCase{{0.3, 0.6}, 1, 0.35, {0.3, 0.4}},
                      MoveCase{{1.0 / 3, 2.0 / 3}, 0, 0.5, {0.5, 2.0 / 3}},
                      MoveCase{{1.0 / 3, 0.5, 2.0 / 3}, 1, 0.2, {1.0 / 3, 1.0 / 3 + 0.1, 2.0 / 3}},
                      MoveCase{{0.45, 0.5, 0.55}, 1, 0.1, {0.45, 0.45, 0.55}},
                      MoveCase{{0.45, 0.5, 0.55}, 1, 0.9, {0.45, 0.45, 0.55}}));

TEST(Sections, CutTheVisibleFrameWithRoundedInnerEdges) {
    EXPECT_EQ(sections({0, 0, 3440, 1415}, Axis::columns, {1.0 / 3, 2.0 / 3}),
              (std::vector<Rect>{{0, 0, 1147, 1415}, {1147, 0, 1146, 1415}, {2293, 0, 1147, 1415}}));
    EXPECT_EQ(sections({0, 0, 1080, 1895}, Axis::rows, {0.5}),
              (std::vector<Rect>{{0, 948, 1080, 947}, {0, 0, 1080, 948}}));
    EXPECT_EQ(sections({-1001, 0, 1001, 800}, Axis::columns, {0.5}),
              (std::vector<Rect>{{-1001, 0, 500, 800}, {-501, 0, 501, 800}}))
        << "halves go away from zero for negative edges too";
    EXPECT_TRUE(sections({0, 0, 3440, 1415}, Axis::columns, {}).empty());
}

TEST(Tiles, TakeHalfTheGapOffInnerSides) {
    const auto cols = sections({0, 0, 3440, 1415}, Axis::columns, {1.0 / 3, 2.0 / 3});
    EXPECT_EQ(tiles(cols, Axis::columns, 10),
              (std::vector<Rect>{{0, 0, 1142, 1415}, {1152, 0, 1136, 1415}, {2298, 0, 1142, 1415}}));
    EXPECT_EQ(tiles(cols, Axis::columns, 0), cols);
    EXPECT_EQ(tiles(cols, Axis::columns, 7)[1], (Rect{1150.5, 0, 1139, 1415})) << "no rounding";
    const auto rows = sections({0, 0, 1080, 1895}, Axis::rows, {0.5});
    EXPECT_EQ(tiles(rows, Axis::rows, 10), (std::vector<Rect>{{0, 953, 1080, 942}, {0, 0, 1080, 943}}));
    EXPECT_EQ(tiles({{0, 0, 100, 100}}, Axis::columns, 10), (std::vector<Rect>{{0, 0, 100, 100}}));
}

class Pointer : public SettingsTest {
protected:
    Pointer() {
        Settings::setDividers({1.0 / 3, 2.0 / 3}, wide);
        Settings::setGap(10, wide);
    }
    Screen wide = screen(Rect{0, 0, 3440, 1440}, Rect{0, 0, 3440, 1415}, "Wide");
    Screen right = screen(Rect{3440, 0, 1920, 1080}, "Right");
};

TEST_F(Pointer, ScreenTilesUseTheStoredLayout) {
    EXPECT_EQ(tiles(wide), (std::vector<Rect>{{0, 0, 1142, 1415}, {1152, 0, 1136, 1415}, {2298, 0, 1142, 1415}}));
    EXPECT_EQ(sections(wide).size(), 3U);
    EXPECT_TRUE(tiles(right).empty());
}

TEST_F(Pointer, HitTestTable) {
    const std::vector<Screen> both{wide, right};
    const std::optional<Rect> none;
    const Rect first{0, 0, 1142, 1415};
    const Rect middle{1152, 0, 1136, 1415};
    struct Case {
        Point p;
        std::optional<Rect> expected;
        const char* why;
    };
    for (const Case& c : {Case{{20, 700}, none, "left band"}, Case{{700, 1380}, none, "top band"},
                          Case{{700, 60}, none, "bottom border of the shrunk rectangle"},
                          Case{{700, 61}, first, "just inside"}, Case{{1147, 700}, middle, "shared edge"},
                          Case{{1146.5, 700}, first, "left of the edge"},
                          Case{{1150, 700}, middle, "over the gap"},
                          Case{{3440, 500}, none, "second screen has no sections"},
                          Case{{3439.5, 500}, none, "first screen's right band"},
                          Case{{-5, 500}, none, "no screen"}}) {
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

}  // namespace
}  // namespace marrowick
