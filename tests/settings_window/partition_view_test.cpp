#include "settings_window/partition_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

#include "settings/settings.h"
#include "support/settings_fixture.h"

namespace marrowick {
namespace {

// A 2080 × 680 monitor fills a 522 × 172 view exactly: the picture is (1, 1, 520, 170), one
// point of it a quarter of a monitor point.
class PartitionViewTest : public test::SettingsTest {
protected:
    PartitionViewTest() {
        view.resize(522, 172);
        view.onBegin = [this] { calls += "b"; };
        view.onChange = [this] { calls += "c"; };
        view.onFinish = [this] { calls += "f"; };
    }
    void mouse(QEvent::Type type, QPointF p, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent e(type, p, view.mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    }
    void drag(QPointF from, std::initializer_list<QPointF> steps) {
        mouse(QEvent::MouseButtonPress, from);
        for (QPointF p : steps) mouse(QEvent::MouseMove, p);
        mouse(QEvent::MouseButtonRelease, steps.size() > 0 ? *(steps.end() - 1) : from, Qt::NoButton);
    }
    std::vector<double> stored() const { return Settings::dividers(monitor); }

    Screen monitor = screen({0, 0, 2080, 680}, "Plain");
    PartitionView view;
    std::string calls;
};

TEST_F(PartitionViewTest, LabelsNameSectionsWithShareAndWidth) {
    view.setScreen(monitor);
    Settings::setGap(20, monitor);
    struct Case {
        std::vector<double> dividers;
        Axis axis;
        std::vector<QString> labels;
    };
    const Case cases[] = {
        {{0.5}, Axis::columns, {"Left\n50%\n1030 px", "Right\n50%\n1030 px"}},
        {{0.5}, Axis::rows, {"Top  50%", "Bottom  50%"}},
        {{0.25, 0.75}, Axis::columns, {"Left\n25%\n510 px", "Centre\n50%\n1020 px", "Right\n25%\n510 px"}},
        {{0.25, 0.75}, Axis::rows, {"Top  25%", "Middle  50%", "Bottom  25%"}},
        {{0.25, 0.5, 0.75}, Axis::columns, {"1\n25%\n510 px", "2\n25%\n500 px", "3\n25%\n500 px", "4\n25%\n510 px"}},
        {{0.2, 0.4, 0.6, 0.8}, Axis::rows, {"1  20%", "2  20%", "3  20%", "4  20%", "5  20%"}},
        {{}, Axis::columns, {}},
    };
    for (const Case& c : cases) {
        Settings::setDividers(c.dividers, monitor);
        Settings::setAxis(c.axis, monitor);
        EXPECT_EQ(view.labels(), c.labels) << c.dividers.size() << " dividers";
    }
}

TEST_F(PartitionViewTest, PictureKeepsTheMonitorsShapeInsideTheMargin) {
    EXPECT_EQ(view.monitor(), QRectF(1, 1, 520, 170)) << "no monitor: the inner area";
    view.setScreen(screen({0, 0, 1680, 1050}));  // 16:10 in a wide view
    const QRectF m = view.monitor();
    EXPECT_DOUBLE_EQ(m.height(), 170);
    EXPECT_DOUBLE_EQ(m.width(), 272);
    EXPECT_DOUBLE_EQ(m.center().x(), 261);
    EXPECT_GE(m.left(), 1);
}

TEST_F(PartitionViewTest, GrabsWithinTwelvePointsAndTheLowerIndexOnATie) {
    view.setScreen(monitor);
    struct Case {
        std::vector<double> dividers;
        double x;
        std::optional<std::size_t> grabbed;
    };
    // Divider 0.5 stands at x 261; 0.484375 and 0.515625 at 252.875 and 269.125.
    const Case cases[] = {
        {{0.5}, 273, 0},
        {{0.5}, 249, 0},
        {{0.5}, 273.5, std::nullopt},
        {{0.5}, 248.5, std::nullopt},
        {{0.484375, 0.515625}, 261, 0},
        {{0.484375, 0.515625}, 262, 1},
        {{}, 261, std::nullopt},
    };
    for (const Case& c : cases) {
        Settings::setDividers(c.dividers, monitor);
        calls.clear();
        mouse(QEvent::MouseButtonPress, {c.x, 80});
        EXPECT_EQ(view.dragging(), c.grabbed) << c.x;
        mouse(QEvent::MouseButtonRelease, {c.x, 80}, Qt::NoButton);
        EXPECT_EQ(calls, c.grabbed ? "bf" : "") << "a click calls begin and finish only";
        EXPECT_EQ(stored(), c.dividers) << "a click moves nothing";
    }
}

TEST_F(PartitionViewTest, DraggingStoresHundredthsClampedToTheMinimumSection) {
    view.setScreen(monitor);
    Settings::setDividers({0.3, 0.6}, monitor);
    drag({157, 80}, {{170, 80}, {-40, 80}});  // past the picture's left edge
    EXPECT_EQ(stored(), (std::vector<double>{0.1, 0.6}));
    EXPECT_EQ(calls, "bccf");

    drag({53, 80}, {{120, 80}, {600, 80}});  // onto its neighbour
    EXPECT_NEAR(stored()[0], 0.5, 1e-9);
    drag({313, 80}, {{318.2, 80}});  // 0.6 → 0.61 (x 318.2 is 0.6100)
    EXPECT_NEAR(stored()[1], 0.61, 1e-9);

    Settings::setAxis(Axis::rows, monitor);
    Settings::setDividers({0.5}, monitor);
    drag({200, 86}, {{200, 52}});  // upwards: the fraction gets smaller
    EXPECT_NEAR(stored()[0], 0.3, 1e-9);
}

TEST_F(PartitionViewTest, AStepOnADividerThatWentAwayStoresNothing) {
    view.setScreen(monitor);
    Settings::setDividers({0.3, 0.6}, monitor);
    calls.clear();
    mouse(QEvent::MouseButtonPress, {313, 80});
    Settings::setDividers({0.5}, monitor);  // changed under the held button
    mouse(QEvent::MouseMove, {300, 80});
    EXPECT_EQ(stored(), (std::vector<double>{0.5}));
    mouse(QEvent::MouseButtonRelease, {300, 80}, Qt::NoButton);
    EXPECT_EQ(calls, "bf");
}

TEST_F(PartitionViewTest, AnotherMonitorEndsADragTheSameOneKeepsIt) {
    const Screen other = screen({2080, 0, 2080, 680}, "Other");
    Settings::setDividers({0.5}, monitor);
    Settings::setDividers({0.5}, other);
    view.setScreen(monitor);
    mouse(QEvent::MouseButtonPress, {261, 80});
    view.setScreen(monitor);  // re-read after some other monitor came or went
    mouse(QEvent::MouseMove, {301, 80});
    EXPECT_NEAR(stored()[0], 0.58, 1e-9);
    view.setScreen(other);  // this one was unplugged
    mouse(QEvent::MouseMove, {200, 80});
    mouse(QEvent::MouseButtonRelease, {200, 80}, Qt::NoButton);
    EXPECT_EQ(Settings::dividers(other), (std::vector<double>{0.5})) << "never grabbed";
    EXPECT_EQ(calls, "bc");
}

TEST_F(PartitionViewTest, ResizeCursorOverEachDivider) {
    view.setScreen(monitor);
    Settings::setDividers({0.5}, monitor);
    mouse(QEvent::MouseMove, {268, 80}, Qt::NoButton);
    EXPECT_EQ(view.cursor().shape(), Qt::SizeHorCursor);
    mouse(QEvent::MouseMove, {280, 80}, Qt::NoButton);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
    Settings::setAxis(Axis::rows, monitor);
    mouse(QEvent::MouseMove, {100, 90}, Qt::NoButton);
    EXPECT_EQ(view.cursor().shape(), Qt::SizeVerCursor);
}

TEST_F(PartitionViewTest, ArrowKeysMoveADividerLikeADrag) {
    view.setScreen(monitor);
    Settings::setDividers({0.3, 0.6}, monitor);
    auto key = [this](QEvent::Type type, int k) {
        QKeyEvent e(type, k, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    };
    key(QEvent::KeyPress, Qt::Key_Space);  // the second divider
    key(QEvent::KeyPress, Qt::Key_Right);
    key(QEvent::KeyPress, Qt::Key_Right);
    key(QEvent::KeyRelease, Qt::Key_Right);
    EXPECT_EQ(calls, "bccf");
    EXPECT_NEAR(stored()[1], 0.62, 1e-9);
    EXPECT_NEAR(stored()[0], 0.3, 1e-9);
}

TEST_F(PartitionViewTest, RendersLabelsAndAccentDividers) {
    const QColor background = view.palette().color(QPalette::Window);
    auto inked = [&](const QImage& img, QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += std::abs(c.lightness() - background.lightness()) > 80 ? 1 : 0;
            }
        }
        return n;
    };
    // Without a monitor: the two-line text in the middle, nothing at the sides.
    const QImage none = view.grab().toImage();
    EXPECT_GT(inked(none, {150, 60, 222, 52}), 20);
    EXPECT_EQ(inked(none, {10, 10, 40, 40}), 0);

    view.setScreen(monitor);
    Settings::setDividers({0.5}, monitor);
    const QImage two = view.grab().toImage();
    const QColor accent = view.palette().color(QPalette::Highlight);
    EXPECT_EQ(two.pixelColor(261, 20), accent) << "divider line";
    EXPECT_EQ(two.pixelColor(258, 86), accent) << "grip";
    EXPECT_GT(inked(two, {90, 60, 80, 52}), 20) << "left label";
    EXPECT_GT(inked(two, {350, 60, 80, 52}), 20) << "right label";
    EXPECT_EQ(inked(two, {10, 10, 40, 30}), 0) << "the corners stay empty";
}

}  // namespace
}  // namespace marrowick
