#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <map>
#include <string>

#include "platform/qt/qt_surfaces.h"
#include "ui/handle_view.h"
#include "ui/outline_view.h"

namespace marrowick {
namespace {

// Our overlay windows drawn as Qt windows.
class SurfacesTest : public ::testing::Test {
protected:
    // The newest top-level window of that kind: the one the surface just made.
    template <class View>
    static View& newest() {
        View* found = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* v = dynamic_cast<View*>(w)) found = v;
        }
        if (found == nullptr) throw std::runtime_error("no such window");
        return *found;
    }

    bool translucent = true;
    QtSurfaces surfaces{[this] { return translucent; }};
    const OutlineStyle style{{0.56, 0.56, 0.58, 0.3}, {1, 1, 1, 0.6}, 1.0, 12.0};
};

// Counts the frame changes a window goes through.
class FrameWrites : public QObject {
public:
    explicit FrameWrites(QWidget& w) { w.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* e) override {
        if (e->type() == QEvent::Move || e->type() == QEvent::Resize) ++count;
        return false;
    }
};

TEST_F(SurfacesTest, AnOutlineIsHiddenUntilShownAndMovesOnlyWhenItsRectangleChanges) {
    const auto outline = surfaces.outline();
    OutlineView& view = newest<OutlineView>();
    EXPECT_FALSE(view.isVisible());
    outline->show({0, 25, 1142, 1415}, style);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.geometry(), QRect(0, 25, 1142, 1415));
    FrameWrites writes(view);
    outline->show({0, 25, 1142, 1415}, style);
    EXPECT_EQ(writes.count, 0);
    outline->hide();
    EXPECT_FALSE(view.isVisible());
    outline->show({3440.4, 0, 960, 1079.6}, style);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.geometry(), QRect(3440, 0, 960, 1080)) << "rounded to whole pixels";
}

TEST_F(SurfacesTest, AnOutlineIsClickThroughAndNeverTakesFocus) {
    const auto outline = surfaces.outline();
    const QWidget& view = newest<OutlineView>();
    const Qt::WindowFlags f = view.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(f.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(f.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_TRUE(view.testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST_F(SurfacesTest, AnOutlinePaintsTheStyleOfEachShow) {
    const auto outline = surfaces.outline();
    OutlineView& view = newest<OutlineView>();
    outline->show({100, 100, 200, 100}, style);
    EXPECT_EQ(view.style(), style);
    outline->show({100, 100, 200, 100}, {{1, 0, 0, 1}, {0, 0, 1, 1}, 4.0, 12.0});
    const QImage img = view.grab().toImage();
    EXPECT_EQ(img.pixelColor(100, 50), QColor(255, 0, 0)) << "fill inside";
    EXPECT_EQ(img.pixelColor(100, 1), QColor(0, 0, 255)) << "border along the inside of the edge";
    EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0) << "rounded corner left clear";
}

// On a monitor of two pixels per point (here a Qt screen that does not scale itself) the
// style's points are drawn twice as wide, and a handle's strip keeps its pixels.
TEST_F(SurfacesTest, LengthsInPointsAreDrawnAtTheScaleOfTheMonitorUnderTheRectangle) {
    QtSurfaces dense([] { return true; }, [](const Rect& r) { return r.x >= 1000 ? 2.0 : 1.0; });
    const auto outline = dense.outline();
    OutlineView& view = newest<OutlineView>();
    const OutlineStyle blue{{1, 0, 0, 1}, {0, 0, 1, 1}, 2.0, 0.0};
    struct Case {
        Rect at;
        int border;
    };
    for (const Case& c : {Case{{100, 100, 200, 100}, 2}, Case{{1100, 100, 200, 100}, 4}}) {
        outline->show(c.at, blue);
        EXPECT_EQ(view.geometry(), QRect(static_cast<int>(c.at.x), 100, 200, 100));
        const QImage img = view.grab().toImage();
        EXPECT_EQ(img.pixelColor(100, c.border - 1), QColor(0, 0, 255)) << c.border << "-pixel border";
        EXPECT_EQ(img.pixelColor(100, c.border), QColor(255, 0, 0)) << "fill right after it";
    }
    const auto handle = dense.handle();
    HandleView& strip = newest<HandleView>();
    handle->show({1972, 25, 56, 1415}, Axis::columns);
    EXPECT_EQ(strip.geometry(), QRect(1972, 25, 56, 1415));
    EXPECT_DOUBLE_EQ(strip.unitsPerPoint(), 2);
}

TEST_F(SurfacesTest, WithoutTranslucencyOnlyTheOutlinesBorderIsLeft) {
    const auto outline = surfaces.outline();
    OutlineView& view = newest<OutlineView>();
    translucent = false;
    outline->show({100, 100, 200, 100}, style);
    const QRegion mask = view.mask();
    EXPECT_FALSE(mask.isEmpty());
    EXPECT_FALSE(mask.contains(QPoint(100, 50))) << "the inside is cut away";
    EXPECT_TRUE(mask.contains(QPoint(100, 0))) << "the border stays";
    translucent = true;
    outline->show({100, 100, 200, 100}, style);
    EXPECT_TRUE(view.mask().isEmpty());
}

// A dragged window's outline is put under that window once while it shows: the drag's steps only
// move it. Where that cannot be done it goes in front of everything.
TEST_F(SurfacesTest, AnOutlineIsStackedUnderTheDraggedWindowOncePerShowing) {
    struct Call {
        WId ours;
        Window below;
        bool visible;
    };
    std::vector<Call> calls;
    bool possible = true;
    OutlineView* view = nullptr;
    QtSurfaces stacking([] { return true; }, {},
                        [&](WId ours, Window below) {
                            calls.push_back({ours, below, view->isVisible()});
                            return possible;
                        });
    const auto outline = stacking.outline();
    view = &newest<OutlineView>();
    const Window dragged{42};
    outline->show({0, 25, 1147, 1415}, style, dragged);
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].ours, view->winId());
    EXPECT_EQ(calls[0].below, dragged);
    EXPECT_TRUE(calls[0].visible) << "stacked once mapped, which brings it to the front";
    EXPECT_TRUE(view->isVisible());
    outline->show({1147, 25, 1146, 1415}, style, dragged);
    EXPECT_EQ(calls.size(), 1U) << "a step of the same drag only moves it";
    EXPECT_EQ(view->geometry(), QRect(1147, 25, 1146, 1415));
    outline->show({1147, 25, 1146, 1415}, style, Window{43});
    EXPECT_EQ(calls.size(), 2U) << "another window";
    outline->hide();
    possible = false;
    outline->show({1147, 25, 1146, 1415}, style, Window{43});
    EXPECT_EQ(calls.size(), 3U) << "shown again";
    EXPECT_TRUE(view->isVisible()) << "in front, where it cannot go under";
    outline->show({0, 25, 1147, 1415}, style);
    EXPECT_EQ(calls.size(), 3U) << "an outline of no drag goes in front";
}

TEST_F(SurfacesTest, AHandleTakesPressesWithoutFocusAndShowsTheResizeCursor) {
    const auto handle = surfaces.handle();
    HandleView& view = newest<HandleView>();
    const Qt::WindowFlags f = view.windowFlags();
    EXPECT_FALSE(f.testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(view.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(f.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_EQ(view.focusPolicy(), Qt::NoFocus);

    handle->show({2279, 25, 28, 1415}, Axis::columns);
    EXPECT_EQ(view.geometry(), QRect(2279, 25, 28, 1415));
    EXPECT_EQ(view.cursor().shape(), Qt::SizeHorCursor);
    handle->show({0, 483, 3440, 28}, Axis::rows);
    EXPECT_EQ(view.cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(view.axis(), Axis::rows);
}

TEST_F(SurfacesTest, AHandleReportsItsDragAndEndsItWhenHiddenUnderTheButton) {
    const auto handle = surfaces.handle();
    HandleView& view = newest<HandleView>();
    std::vector<std::string> calls;
    handle->onPress = [&] { calls.emplace_back("press"); };
    handle->onDrag = [&] { calls.emplace_back("drag"); };
    handle->onRelease = [&] { calls.emplace_back("release"); };
    handle->show({100, 0, 28, 500}, Axis::columns);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(14, 250), QPointF(114, 250), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    };
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(calls, (std::vector<std::string>{"press", "drag", "release"})) << "the left button only";
    calls.clear();
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    handle->hide();
    EXPECT_EQ(calls, (std::vector<std::string>{"press", "release"})) << "a hidden window never sees its release";
}

// White at alpha 0.01, as an 8-bit pixel.
bool faint(const QColor& c) { return c.alpha() > 0 && c.alpha() < 6; }

// The handle as drawn: a faint strip, the accent line, the grip and a white arrow along the
// divider's direction; at two units to the point every length doubles.
TEST(HandleView, DrawsLineGripAndArrowForBothAxesAtTheirScale) {
    std::map<int, int> arrowSpan;  // across the divider, by scale
    for (int k : {1, 2}) {
        for (Axis axis : {Axis::columns, Axis::rows}) {
            HandleView view;
            view.setLook(axis, true, k);
            const bool cols = axis == Axis::columns;
            view.resize(cols ? QSize(28 * k, 300 * k) : QSize(300 * k, 28 * k));
            const QImage img = view.grab().toImage();
            const QColor accent = view.palette().color(QPalette::Highlight);
            // (along, across) in points of the strip's own terms, across measured from its centre line.
            auto at = [&](double along, double across) {
                const int a = static_cast<int>(along * k);
                const int c = static_cast<int>(14 * k + across * k);
                return cols ? img.pixelColor(c, a) : img.pixelColor(a, c);
            };
            const std::string name = std::string(cols ? "columns" : "rows") + " at " + std::to_string(k) + "x";
            EXPECT_EQ(at(10, 0), accent) << name << ": the line";
            EXPECT_EQ(at(10, -1), accent) << name << ": 2 points wide";
            EXPECT_TRUE(faint(at(10, 1))) << name << ": no wider";
            EXPECT_TRUE(faint(at(10, 4))) << name << ": beside the line, white at alpha 0.01";
            EXPECT_EQ(at(150 - 20, 9), accent) << name << ": the grip, 24 across and 56 along";
            EXPECT_TRUE(faint(at(150 - 30, 9))) << name << ": past the grip's end";
            EXPECT_NE(at(150 - 27, -11), accent) << name << ": the grip's corner is rounded";
            // The arrow: white pixels around the centre, spread along the divider's normal.
            int minA = 100000, maxA = -1, minC = 100000, maxC = -1;
            for (int along = 130 * k; along < 170 * k; ++along) {
                for (int across = 2 * k; across < 26 * k; ++across) {
                    const QColor c = cols ? img.pixelColor(across, along) : img.pixelColor(along, across);
                    if (c.alpha() < 200 || c.red() < 230 || c.green() < 230 || c.blue() < 230) continue;
                    minA = std::min(minA, along), maxA = std::max(maxA, along);
                    minC = std::min(minC, across), maxC = std::max(maxC, across);
                }
            }
            ASSERT_GE(maxA, 0) << name << ": no white arrow";
            EXPECT_GT(maxC - minC, maxA - minA) << name << ": the arrow points across the divider";
            EXPECT_LT(std::abs((minA + maxA) / 2 - 150 * k), 3 * k) << name << ": centred";
            if (cols) arrowSpan[k] = maxC - minC;
        }
    }
    EXPECT_NEAR(arrowSpan[2], 2.0 * arrowSpan[1], 3) << "the arrow's 15 points are twice the pixels";
}

}  // namespace
}  // namespace marrowick
