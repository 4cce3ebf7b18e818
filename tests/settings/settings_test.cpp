#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "settings/screen_layout.h"
#include "support/settings_fixture.h"

namespace marrowick {
namespace {

using test::SettingsTest;

const Modifiers alt{Key::alt};

const Rect ultrawide{0, 0, 3440, 1440};
const Rect plain{0, 0, 2560, 1440};
const Rect portrait{0, 0, 1080, 1920};

TEST_F(SettingsTest, AFreshStoreReadsTheRegisteredDefaults) {
    EXPECT_EQ(Settings::keys(), alt);
    EXPECT_TRUE(Settings::liveOverlay());
    EXPECT_EQ(Settings::color("fillColor"), (Color{0.56, 0.56, 0.58, 0.3}));
    EXPECT_EQ(Settings::color("borderColor"), (Color{1.0, 1.0, 1.0, 0.6}));
    EXPECT_EQ(Settings::borderWidth(), 1.0);
    EXPECT_EQ(Settings::cornerRadius(), 12.0);
    EXPECT_FALSE(store.boolean("askedAboutMacTiling"));
}

// Where the desktop has an accent colour, the outline is drawn in it by default (a stored look
// still wins, and a reset comes back to the accent); the rest of the defaults stay.
TEST_F(SettingsTest, WithAnAccentColourTheOutlineDefaultsToIt) {
    Settings::registerDefaults(Color{0.2, 0.4, 0.8, 1.0});
    EXPECT_EQ(Settings::outlineStyle(), (OutlineStyle{{0.2, 0.4, 0.8, 0.25}, {0.2, 0.4, 0.8, 0.8}, 2.0, 12.0}));
    EXPECT_EQ(Settings::keys(), alt);
    EXPECT_TRUE(Settings::liveOverlay());
    Settings::setColor({1, 0, 0, 1}, "fillColor");
    EXPECT_EQ(Settings::color("fillColor"), (Color{1, 0, 0, 1}));
    Settings::resetOutline();
    EXPECT_EQ(Settings::color("fillColor"), (Color{0.2, 0.4, 0.8, 0.25}));
}

TEST_F(SettingsTest, FreshDisplaysGetTheirDefaults) {
    EXPECT_EQ(Settings::dividers(screen(ultrawide)), (std::vector<double>{1.0 / 3, 2.0 / 3}));
    EXPECT_EQ(Settings::axis(screen(ultrawide)), Axis::columns);
    EXPECT_TRUE(Settings::dividers(screen(plain)).empty());
    EXPECT_EQ(Settings::axis(screen(portrait)), Axis::rows);
    EXPECT_EQ(Settings::axis(screen({0, 0, 1000, 1000})), Axis::columns) << "a square screen gets columns";
    EXPECT_EQ(Settings::gap(screen(plain)), 0.0);
}

TEST_F(SettingsTest, UltrawideStartsAtExactlyTwoPointTwo) {
    EXPECT_TRUE(Settings::isUltrawide(screen({0, 0, 2200, 1000})));
    EXPECT_FALSE(Settings::isUltrawide(screen({0, 0, 2199, 1000})));
    EXPECT_FALSE(Settings::isUltrawide(screen({0, 0, 2200, 0}))) << "no height, no ratio";
    // The full frame counts, not the work area.
    EXPECT_TRUE(Settings::isUltrawide(screen(Rect{0, 0, 2200, 1000}, Rect{0, 0, 2200, 975})));
}

TEST_F(SettingsTest, LegacyPairAppliesToUltrawideDisplaysOnly) {
    store.set("dividerLeft", Value(0.25));
    store.set("dividerRight", Value(0.75));
    EXPECT_EQ(Settings::dividers(screen(ultrawide)), (std::vector<double>{0.25, 0.75}));
    EXPECT_TRUE(Settings::dividers(screen(plain)).empty());
}

TEST_F(SettingsTest, LegacyPairThatBreaksTheRulesIsIgnored) {
    const std::vector<double> even{1.0 / 3, 2.0 / 3};
    for (auto [left, right] :
         {std::pair<Value, Value>{Value(0.75), Value(0.25)}, std::pair<Value, Value>{Value(0.25), Value()},
          std::pair<Value, Value>{Value(0.25), Value(1.5)}}) {
        store.set("dividerLeft", left);
        if (right.isNone()) {
            store.remove("dividerRight");
        } else {
            store.set("dividerRight", right);
        }
        EXPECT_EQ(Settings::dividers(screen(ultrawide)), even);
    }
}

TEST_F(SettingsTest, StoredListsWinAndEmptinessToo) {
    const Screen s = screen(ultrawide);
    Settings::setDividers({}, s);
    EXPECT_TRUE(Settings::dividers(s).empty());
    Settings::setDividers({0.5}, s);
    EXPECT_EQ(Settings::dividers(s), (std::vector<double>{0.5}));
    // A list merely closer than the smallest section is kept as stored.
    Settings::setDividers({0.5, 0.55}, s);
    EXPECT_EQ(Settings::dividers(s), (std::vector<double>{0.5, 0.55}));
}

TEST_F(SettingsTest, MalformedStoredListsReadAsMissing) {
    const Screen wide = screen(ultrawide);
    const Screen narrow = screen(plain, "Narrow");
    const double inf = std::numeric_limits<double>::infinity();
    for (const Value::List& bad :
         {Value::List{0.5, "x"}, Value::List{0.6, 0.4}, Value::List{0.5, 0.5}, Value::List{0.0, 0.5},
          Value::List{0.5, 1.0}, Value::List{-0.2}, Value::List{std::nan("")}, Value::List{inf}, Value::List{true}}) {
        store.set("displayDividers", Value(Value::Dict{{"Display", Value(bad)}, {"Narrow", Value(bad)}}));
        EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{1.0 / 3, 2.0 / 3}));
        EXPECT_TRUE(Settings::dividers(narrow).empty());
    }
    store.set("displayDividers", Value(Value::Dict{{"Display", Value("0.5")}}));
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{1.0 / 3, 2.0 / 3})) << "not an array";
}

TEST_F(SettingsTest, SettersReplaceOnlyTheirDisplaysEntry) {
    const Screen a = screen(plain, "A");
    const Screen b = screen(portrait, "B");
    Settings::setAxis(Axis::rows, a);
    Settings::setAxis(Axis::columns, b);
    Settings::setAxis(Axis::columns, a);
    EXPECT_EQ(Settings::axis(b), Axis::columns);
    EXPECT_EQ(Settings::axis(a), Axis::columns);
    Settings::setGap(10, a);
    Settings::setDividers({0.5}, b);
    EXPECT_EQ(Settings::gap(a), 10.0);
    EXPECT_EQ(Settings::gap(b), 0.0);
    EXPECT_EQ(*store.dictionary("displayAxis")->at("A").as<std::string>(), "columns");
    EXPECT_EQ(store.dictionary("displayDividers")->size(), 1U);
}

TEST_F(SettingsTest, UnknownAxisTextFallsBackToTheOrientation) {
    store.set("displayAxis", Value(Value::Dict{{"Display", Value("diagonal")}}));
    EXPECT_EQ(Settings::axis(screen(portrait)), Axis::rows);
    store.set("displayAxis", Value(Value::Dict{{"Display", Value(1)}}));
    EXPECT_EQ(Settings::axis(screen(plain)), Axis::columns);
    EXPECT_EQ(*store.dictionary("displayAxis")->at("Display").as<std::int64_t>(), 1) << "never repaired";
}

TEST_F(SettingsTest, GapFallsBackToZero) {
    for (const Value& bad : {Value("10"), Value(std::nan("")), Value(std::numeric_limits<double>::infinity())}) {
        store.set("displayGap", Value(Value::Dict{{"Display", bad}}));
        EXPECT_EQ(Settings::gap(screen(plain)), 0.0);
    }
    store.set("displayGap", Value(Value::Dict{{"Display", Value(7)}}));
    EXPECT_EQ(Settings::gap(screen(plain)), 7.0) << "integers are numbers too";
}

TEST_F(SettingsTest, DragKeysKeepTheirStoredBits) {
    Settings::setKeys({Key::control, Key::shift});
    EXPECT_EQ(*store.object("dragKeys")->as<std::int64_t>(), 0x60000);
    EXPECT_EQ(Settings::keys(), (Modifiers{Key::control, Key::shift}));
    Settings::setKeys({Key::alt, Key::super});
    EXPECT_EQ(*store.object("dragKeys")->as<std::int64_t>(), 0x180000) << "Alt is 0x80000, Super 0x100000";
    store.remove("dragKeys");
    EXPECT_EQ(*store.object("dragKeys"), Value(0x80000)) << "the registered default is Alt";
}

struct KeysCase {
    Value stored;
    Modifiers expected;
};

class SettingsStoredKeys : public SettingsTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(SettingsStoredKeys, OnlyASetOfTheFourKeysCounts) {
    store.set("dragKeys", GetParam().stored);
    EXPECT_EQ(Settings::keys(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsStoredKeys,
                         ::testing::Values(KeysCase{Value(0), {}}, KeysCase{Value(0x60000), {Key::shift, Key::control}},
                                           KeysCase{Value(0x1E0000), {Key::shift, Key::control, Key::alt, Key::super}},
                                           KeysCase{Value(1048576.0), {Key::super}}, KeysCase{Value("524288"), alt},
                                           KeysCase{Value("262144"), alt},
                                           KeysCase{Value(Value::Dict{{"a", Value(1)}}), alt},
                                           KeysCase{Value(Value::List{262144}), alt}, KeysCase{Value(true), alt},
                                           KeysCase{Value(1e300), alt}, KeysCase{Value(18446744073709551615.0), alt},
                                           KeysCase{Value(std::int64_t{-1}), alt}, KeysCase{Value(-5), alt},
                                           KeysCase{Value(std::int64_t{-262144}), alt}, KeysCase{Value(262144.5), alt},
                                           KeysCase{Value(0x50000), alt},
                                           KeysCase{Value(std::int64_t{0x40000} | (std::int64_t{1} << 40)), alt},
                                           KeysCase{Value(std::nan("")), alt}));

TEST_F(SettingsTest, GapLeavesEveryTileAtLeastAPixel) {
    // Columns of 1000, 1000 and 500 pixels: the inner tile loses the whole gap, the outer ones half
    // of it, so the narrow outer one allows at most 998.
    const Screen s = screen(Rect{0, 0, 2500, 1000});
    Settings::setDividers({0.4, 0.8}, s);
    const Screen rows = screen(Rect{0, 0, 1000, 2000}, "Rows");
    Settings::setDividers({0.5}, rows);
    for (auto [stored, expected] : {std::pair{10.0, 10.0}, std::pair{-5.0, 0.0}, std::pair{1e308, 998.0},
                                    std::pair{998.0, 998.0}, std::pair{2000.0, 998.0}}) {
        Settings::setGap(stored, s);
        EXPECT_EQ(Settings::gap(s), expected) << stored;
        for (const Rect& t : tiles(s)) EXPECT_GE(t.width, 1.0) << stored;
    }
    Settings::setGap(1e308, rows);
    EXPECT_EQ(Settings::gap(rows), 1998.0) << "two outer tiles lose half the gap each";
    for (const Rect& t : tiles(rows)) EXPECT_GE(t.height, 1.0);
    EXPECT_EQ(*store.dictionary("displayGap")->at("Rows").as<double>(), 1e308) << "the stored value stays";
}

struct ColorCase {
    Value stored;
    Color expected;
};

class SettingsColor : public SettingsTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(SettingsColor, StoredArraysReadWithTheGreyFallback) {
    store.set("fillColor", GetParam().stored);
    EXPECT_EQ(Settings::color("fillColor"), GetParam().expected);
}

const Color grey{0.5, 0.5, 0.5, 0.5};
INSTANTIATE_TEST_SUITE_P(Table, SettingsColor,
                         ::testing::Values(ColorCase{Value(Value::List{1, 0, 0, 1, 7}), {1, 0, 0, 1}},
                                           ColorCase{Value(Value::List{"1", 0, 0, 1}), grey},
                                           ColorCase{Value(Value::List{1, 0, 0}), grey},
                                           ColorCase{Value(Value::List{1, 0, 0, 1, "x"}), grey},
                                           ColorCase{Value(Value::List{1, 0, std::nan(""), 1}), grey},
                                           ColorCase{Value("red"), grey}));

TEST_F(SettingsTest, ResetOutlineRestoresTheStyleOnly) {
    Settings::setColor({1, 0, 0, 1}, "fillColor");
    Settings::setColor({0, 0, 1, 1}, "borderColor");
    store.set("borderWidth", Value(4.0));
    store.set("cornerRadius", Value(0.0));
    Settings::setKeys({Key::super});
    Settings::setGap(10, screen(plain));
    Settings::resetOutline();
    EXPECT_EQ(Settings::color("fillColor"), (Color{0.56, 0.56, 0.58, 0.3}));
    EXPECT_EQ(Settings::color("borderColor"), (Color{1.0, 1.0, 1.0, 0.6}));
    EXPECT_EQ(Settings::borderWidth(), 1.0);
    EXPECT_EQ(Settings::cornerRadius(), 12.0);
    EXPECT_EQ(Settings::keys(), Modifiers{Key::super});
    EXPECT_EQ(Settings::gap(screen(plain)), 10.0);
}

TEST_F(SettingsTest, NonFiniteStyleNumbersReadAsTheirDefaults) {
    store.set("borderWidth", Value(std::nan("")));
    store.set("cornerRadius", Value(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(Settings::borderWidth(), 1.0);
    EXPECT_EQ(Settings::cornerRadius(), 12.0);
    Settings::setColor({std::nan(""), 0, 0, 1}, "fillColor");
    EXPECT_EQ(Settings::color("fillColor"), (Color{0.56, 0.56, 0.58, 0.3})) << "no sRGB form: nothing stored";
}

TEST_F(SettingsTest, DisplayKeyIsTheUuidElseTheName) {
    screens.setUuid(7, "0E3D5F8C-1111-2222-3333-444455556666");
    Screen s = screen(plain, "DELL U3415W");
    EXPECT_EQ(Settings::displayKey(s), "DELL U3415W");
    s.displayId = 7;
    EXPECT_EQ(Settings::displayKey(s), "0E3D5F8C-1111-2222-3333-444455556666");
    s.displayId = 8;
    EXPECT_EQ(Settings::displayKey(s), "DELL U3415W") << "no UUID for that display";
    s.displayId = -1;
    EXPECT_EQ(Settings::displayKey(s), "DELL U3415W");
    s.displayId = std::int64_t{1} << 32 | 7;
    EXPECT_EQ(Settings::displayKey(s), "DELL U3415W") << "not a 32-bit display number";

    s.displayId = 7;
    Settings::setGap(12, s);
    EXPECT_EQ(store.dictionary("displayGap")->count("0E3D5F8C-1111-2222-3333-444455556666"), 1U);
}

TEST(Palette, NineColoursInOrder) {
    ASSERT_EQ(palette.size(), 9U);
    const char* names[] = {"Grey", "White", "Blue", "Teal", "Green", "Yellow", "Orange", "Red", "Purple"};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        EXPECT_EQ(palette[i].name, names[i]);
        EXPECT_EQ(palette[i].color.alpha, 1.0);
    }
    EXPECT_EQ(palette[2].color, (Color{0.0, 0.48, 1.0, 1.0}));
    EXPECT_EQ(palette[7].color, (Color{1.0, 0.23, 0.19, 1.0}));
}

}  // namespace
}  // namespace marrowick
