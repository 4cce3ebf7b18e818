#include "geometry/geometry.h"

#include <gtest/gtest.h>

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

TEST(Sections, CutTheWorkAreaWithRoundedInnerEdges) {
    EXPECT_EQ(sections({0, 0, 3440, 1415}, Axis::columns, {1.0 / 3, 2.0 / 3}),
              (std::vector<Rect>{{0, 0, 1147, 1415}, {1147, 0, 1146, 1415}, {2293, 0, 1147, 1415}}));
    EXPECT_EQ(sections({0, 0, 1080, 1895}, Axis::rows, {0.5}),
              (std::vector<Rect>{{0, 0, 1080, 948}, {0, 948, 1080, 947}}))
        << "rows from the top; the edge at 947.5 goes to 948";
    EXPECT_EQ(sections({0, 30, 1080, 1000}, Axis::rows, {0.25, 0.5}),
              (std::vector<Rect>{{0, 30, 1080, 250}, {0, 280, 1080, 250}, {0, 530, 1080, 500}}))
        << "fractions count from the work area's top edge";
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
    EXPECT_EQ(tiles(rows, Axis::rows, 10), (std::vector<Rect>{{0, 0, 1080, 943}, {0, 953, 1080, 942}}))
        << "the top tile keeps the top edge, the bottom tile the bottom edge";
    EXPECT_EQ(tiles({{0, 0, 100, 100}}, Axis::columns, 10), (std::vector<Rect>{{0, 0, 100, 100}}));
}

TEST(MouseInRect, TheLeftAndTopBordersBelong) {
    const Rect r{10, 20, 100, 50};
    struct Case {
        Point p;
        bool inside;
    };
    for (const Case& c : {Case{{10, 20}, true}, Case{{109.9, 69.9}, true}, Case{{110, 40}, false},
                          Case{{50, 70}, false}, Case{{9.9, 40}, false}, Case{{50, 19.9}, false}}) {
        EXPECT_EQ(mouseInRect(c.p, r), c.inside) << c.p.x << ", " << c.p.y;
    }
    EXPECT_FALSE(mouseInRect({0, 0}, Rect{0, 0, 0, 10})) << "an empty rectangle holds nothing";
}

}  // namespace
}  // namespace marrowick
