#include "settings_window/swatch.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

namespace marrowick {
namespace {

constexpr Color teal{0.19, 0.69, 0.78, 1.0};

TEST(SwatchTest, MatchesOnRedGreenAndBlueOnly) {
    const Swatch chip("Teal", teal);
    struct Case {
        Color other;
        bool matches;
    };
    const Case cases[] = {
        {{0.19, 0.69, 0.78, 0.2}, true},   // another alpha
        {{0.20, 0.70, 0.79, 1.0}, false},  // 0.01 each, 0.03 together
        {{0.205, 0.69, 0.78, 1.0}, true},  // 0.015 in one
        {{0.19, 0.69, 0.80, 1.0}, false},  // 0.02 is not less than 0.02
        {{1.0, 0.23, 0.19, 1.0}, false},   // another colour
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chip.matches(c.other), c.matches) << c.other.red << ", " << c.other.green << ", " << c.other.blue;
    }
}

TEST(SwatchTest, IsATwentyFourPointChipNamedByItsTooltip) {
    const Swatch chip("Teal", teal);
    EXPECT_EQ(chip.size(), QSize(24, 24));
    EXPECT_EQ(chip.toolTip(), "Teal");
    EXPECT_EQ(chip.accessibleName(), "Teal");
    EXPECT_TRUE(chip.text().isEmpty());
}

TEST(SwatchTest, ChosenChipWearsTheAccentRingOutsideTheChip) {
    Swatch chip("Teal", teal);
    const QColor accent = chip.palette().color(QPalette::Highlight);
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 60;
    };
    // (12, 1) lies on the 21-point ring; (12, 12) is the chip's middle.
    const QImage plain = chip.grab().toImage();
    EXPECT_FALSE(near(plain.pixelColor(12, 1), accent));
    EXPECT_TRUE(near(plain.pixelColor(12, 12), QColor::fromRgbF(0.19F, 0.69F, 0.78F)));

    chip.setChosen(true);
    const QImage chosen = chip.grab().toImage();
    EXPECT_TRUE(near(chosen.pixelColor(12, 1), accent)) << chosen.pixelColor(12, 1).name().toStdString();
    EXPECT_TRUE(near(chosen.pixelColor(1, 12), accent));
    EXPECT_TRUE(near(chosen.pixelColor(12, 12), QColor::fromRgbF(0.19F, 0.69F, 0.78F)));

    chip.setChosen(false);
    EXPECT_FALSE(near(chip.grab().toImage().pixelColor(12, 1), accent)) << "the ring goes again";
}

}  // namespace
}  // namespace marrowick
