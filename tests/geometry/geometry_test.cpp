#include <gtest/gtest.h>

#include "geometry/coordinates.h"
#include "geometry/dividers.h"
#include "geometry/sections.h"

namespace marrowick {
namespace {

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

INSTANTIATE_TEST_SUITE_P(Table, Moving,
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

TEST(Conversions, FlipAgainstThePrimaryHeight) {
    EXPECT_EQ(axPoint({100, 1000}, 1080), (Point{100, 80}));
    EXPECT_EQ(axRect({0, 25, 960, 1031}, 1080), (Rect{0, 24, 960, 1031}));
    EXPECT_EQ(axPoint({50, 2000}, 1080), (Point{50, -920})) << "above the primary, y is negative";
    EXPECT_EQ(axPoint({-1900, 500}, 1080), (Point{-1900, 580})) << "x passes through";
}

TEST(Conversions, NativeGoesBothWaysWhereverThePrimaryLies) {
    // The primary at the root's right half, a second screen to its left.
    const Rect primary{1920, 0, 2560, 1440};
    const Rect tile{-1920, 0, 960, 1080};
    EXPECT_EQ(toNative(tile, primary), (Rect{0, 360, 960, 1080}));
    EXPECT_EQ(fromNative(toNative(tile, primary), primary), tile);
    EXPECT_EQ(toNative(Rect{0, 1340, 100, 100}, primary), (Rect{1920, 0, 100, 100})) << "the primary's top-left";
    EXPECT_EQ(fromNative(Point{1920, 0}, primary), (Point{0, 1440}));
}

}  // namespace
}  // namespace marrowick
