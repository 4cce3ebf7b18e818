#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include "follow/window_follower.h"
#include "settings/mac_option_tiling.h"
#include "settings/notification_center.h"
#include "settings_window/layout_faults.h"
#include "settings_window/partition_view.h"
#include "settings_window/settings_panel.h"
#include "settings_window/swatch.h"
#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

// The settings window on two monitors of this process (two_densities.json): "One" at device
// pixel ratio 1 and "Two" at 2, as a 4K monitor at 2× beside an ordinary one.
class HighDensityTest : public test::DesktopTest {
protected:
    static QScreen* screenNamed(const QString& name) {
        for (QScreen* s : QApplication::screens()) {
            if (s->name() == name) return s;
        }
        return nullptr;
    }
    // A new settings window, opened and moved onto the monitor of that name.
    SettingsPanel& openOn(const QString& name) {
        panel = std::make_unique<SettingsPanel>(desk, tiling, follower, notifications,
                                                [](const std::vector<Rect>&, std::optional<double>) {});
        panel->open();
        QScreen* s = screenNamed(name);
        EXPECT_NE(s, nullptr) << "no monitor " << name.toStdString() << ": run with two_densities.json";
        if (s != nullptr) panel->window().move(s->geometry().topLeft() + QPoint(40, 40));
        QApplication::processEvents();
        return *panel;
    }
    // The device pixels of a widget's ink: rows and columns holding pixels of that colour.
    static QSize inkOf(const QImage& img, QRect area, const std::function<bool(QColor)>& ink) {
        int top = -1, bottom = -1, left = -1, right = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!ink(img.pixelColor(x, y))) continue;
                if (top < 0) top = y;
                bottom = y;
                left = left < 0 ? x : std::min(left, x);
                right = std::max(right, x);
            }
        }
        return top < 0 ? QSize() : QSize(right - left + 1, bottom - top + 1);
    }

    MacOptionTiling tiling{desk.preferences()};
    NotificationCenter notifications;
    WindowFollower follower{desk.windows(), 4242};
    std::unique_ptr<SettingsPanel> panel;
};

TEST_F(HighDensityTest, TheWindowIsWholeAndTwiceItsPixelsAtTwoX) {
    SettingsPanel& one = openOn("One");
    ASSERT_EQ(one.window().windowHandle()->screen()->name(), "One");
    const QSize logical = one.window().size();
    const QSize pixelsAtOne = logical * one.window().devicePixelRatioF();

    SettingsPanel& two = openOn("Two");
    ASSERT_EQ(two.window().windowHandle()->screen()->name(), "Two");
    EXPECT_DOUBLE_EQ(two.window().devicePixelRatioF(), 2);
    const QSize pixelsAtTwo = two.window().size() * two.window().devicePixelRatioF();
    EXPECT_NEAR(pixelsAtTwo.width(), 2 * pixelsAtOne.width(), 4);
    EXPECT_NEAR(pixelsAtTwo.height(), 2 * pixelsAtOne.height(), 4);
    const std::vector<std::string> faults = test::layoutFaults(two.window());
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

// What the window draws itself, the editor's labels and the colour chips, is twice the pixels at
// 2×, drawn at the monitor's resolution rather than stretched.
TEST_F(HighDensityTest, TheEditorsLabelsAndTheChipsScale) {
    Settings::setDividers({0.5}, wide);
    std::map<QString, QSize> label, chip;
    for (const QString& name : {QStringLiteral("One"), QStringLiteral("Two")}) {
        SettingsPanel& p = openOn(name);
        const auto& c = p.controls();
        c.partitions->setScreen(wide);
        const QImage editor = c.partitions->grab().toImage();
        const double dpr = editor.devicePixelRatio();
        EXPECT_EQ(editor.width(), static_cast<int>(c.partitions->width() * dpr)) << name.toStdString();
        const QColor text = c.partitions->palette().color(QPalette::WindowText);
        const auto isText = [text](QColor px) {
            return px.alpha() > 128 && std::abs(px.lightness() - text.lightness()) < 40;
        };
        // The left section's three lines of text, between the picture's edge and its divider.
        const int width = editor.width();
        label[name] = inkOf(editor, QRect(width / 8, 0, width / 4, editor.height()), isText);
        const QImage swatch = c.fillSwatches[2]->grab().toImage();
        chip[name] = inkOf(swatch, swatch.rect(), [](QColor px) { return px.blue() > 200 && px.red() < 60; });
        EXPECT_EQ(swatch.width(), static_cast<int>(Swatch::extent * dpr)) << name.toStdString();
    }
    ASSERT_FALSE(label["One"].isEmpty());
    EXPECT_NEAR(label["Two"].height(), 2 * label["One"].height(), 3) << "the labels' text";
    EXPECT_NEAR(label["Two"].width(), 2 * label["One"].width(), 4);
    ASSERT_FALSE(chip["One"].isEmpty());
    EXPECT_NEAR(chip["Two"].width(), 2 * chip["One"].width(), 2) << "the chip's 16-point circle";
}

}  // namespace
}  // namespace marrowick
