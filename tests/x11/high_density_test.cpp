#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QScreen>
#include <QWindow>
#include <sstream>

#include "overlay/divider_handle.h"
#include "platform/x11/x11_backend.h"
#include "settings/defaults.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"
#include "settings_window/partition_view.h"
#include "snap/outline_pool.h"
#include "ui/handle_view.h"
#include "ui/outline_view.h"
#include "x11/density_session.h"

namespace marrowick::test {
namespace {

// The monitors' scales this run expects (MARROWICK_TEST_SCALES, "2,2"), primary first.
std::vector<double> expectedScales() {
    std::vector<double> out;
    std::istringstream in(std::getenv("MARROWICK_TEST_SCALES") != nullptr ? std::getenv("MARROWICK_TEST_SCALES") : "");
    std::string item;
    while (std::getline(in, item, ',')) out.push_back(std::stod(item));
    return out;
}

// Our windows on the X desktop, at the monitors' scales (Xft.dpi 192, or one monitor at 1× and
// one at 2× through QT_SCREEN_SCALE_FACTORS), measured in the server's own pixels.
class HighDensity : public ::testing::Test {
protected:
    void SetUp() override {
        if (densitySession == nullptr) GTEST_SKIP() << "Xvfb cannot start on this machine";
        backend = x11::X11Backend::open(
            densitySession->display(), XdgLoginItems(std::filesystem::temp_directory_path() / "marrowick-density-tests",
                                                     "app.marrowick.Tests", "/bin/true"));
        ASSERT_TRUE(backend);
        Settings::install(store, backend->screens());
        Settings::registerDefaults();
        ASSERT_EQ(backend->screens().screens().size(), 2U);
    }
    const Screen& screen(std::size_t i) { return backend->screens().screens().at(i); }
    // A top-level window's frame in root pixels, once the server has it there.
    static Rect nativeFrame(const QWidget& w) {
        xcb_connection_t* c = densitySession->c();
        const auto id = static_cast<xcb_window_t>(w.winId());
        auto g =
            densitySession->connection().await<xcb_get_geometry_reply_t>(xcb_get_geometry(c, id), x11::deadlineIn(2));
        auto t = densitySession->connection().await<xcb_translate_coordinates_reply_t>(
            xcb_translate_coordinates(c, id, densitySession->root(), 0, 0), x11::deadlineIn(2));
        if (!g || !t) return {};
        return {double(t->dst_x), double(t->dst_y), double(g->width), double(g->height)};
    }
    template <class View>
    static View* newest() {
        View* found = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* v = dynamic_cast<View*>(w)) found = v;
        }
        return found;
    }

    std::unique_ptr<x11::X11Backend> backend;
    Defaults store;
};

TEST_F(HighDensity, EachMonitorHasTheScaleTheDesktopSaysAndQtAgrees) {
    const std::vector<double> expected = expectedScales();
    ASSERT_EQ(expected.size(), 2U) << "MARROWICK_TEST_SCALES";
    const QList<QScreen*> qtScreens = QApplication::screens();
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_DOUBLE_EQ(screen(i).scale, expected[i]) << screen(i).name;
        const auto qt = std::find_if(qtScreens.begin(), qtScreens.end(),
                                     [&](QScreen* s) { return s->name().toStdString() == screen(i).name; });
        ASSERT_NE(qt, qtScreens.end()) << screen(i).name;
        EXPECT_DOUBLE_EQ((*qt)->devicePixelRatio(), expected[i]) << "Qt draws " << screen(i).name << " at that scale";
    }
}

// The handle's strip is 28 points across its divider, the outline covers its tile exactly, in
// the server's pixels, on each monitor at its own scale.
TEST_F(HighDensity, HandlesAndOutlinesStandWhereTheCoreSaysInPixels) {
    Settings::setDividers({1.0 / 3, 2.0 / 3}, screen(0));
    Settings::setDividers({0.5}, screen(1));
    for (std::size_t i = 0; i < 2; ++i) {
        const Screen s = screen(i);
        const double k = s.scale;
        DividerHandle handle(*backend);
        handle.place(s, 0);
        HandleView* view = newest<HandleView>();
        ASSERT_NE(view, nullptr);
        const double divider = sections(s)[0].maxX();
        Rect at;
        ASSERT_TRUE(densitySession->waitFor([&] {
            at = nativeFrame(*view);
            return view->isVisible() && at.width > 0;
        })) << s.name;
        EXPECT_EQ(at.width, 28 * k) << s.name << ": 28 points";
        EXPECT_NEAR(at.x + at.width / 2, divider, k / 2 + 0.5) << s.name << ": centred on the divider";
        EXPECT_EQ(at.height, s.workArea.height) << s.name;
        EXPECT_DOUBLE_EQ(view->unitsPerPoint() * view->devicePixelRatioF(), k) << s.name << ": drawn at the scale";

        OutlinePool outlines(backend->surfaces());
        const Rect tile = tiles(s)[1];
        outlines.show({tile}, Settings::outlineStyle());
        OutlineView* outline = newest<OutlineView>();
        ASSERT_NE(outline, nullptr);
        Rect shown;
        ASSERT_TRUE(densitySession->waitFor([&] {
            shown = nativeFrame(*outline);
            return outline->isVisible() && shown.width > 0;
        }));
        for (const auto& [got, want] : {std::pair{shown.x, tile.x}, std::pair{shown.maxX(), tile.maxX()},
                                        std::pair{shown.y, tile.y}, std::pair{shown.maxY(), tile.maxY()}})
            EXPECT_NEAR(got, want, k / 2) << s.name << ": the outline's edges within half a point of its tile";
    }
}

// The partition editor grabs a divider within 12 points: at 2× that is 24 of the server's pixels.
TEST_F(HighDensity, TheEditorGrabsADividerWithinTwelvePoints) {
    const Screen s = screen(0);
    const double k = s.scale;
    Settings::setDividers({0.5}, s);
    PartitionView view;
    int grabs = 0;
    view.onBegin = [&grabs] { ++grabs; };
    view.setScreen(s);
    view.setGeometry(200, 200, 520, 170);
    view.show();
    ASSERT_TRUE(densitySession->waitFor([&] { return view.windowHandle()->isExposed(); }));
    const QRectF m = view.monitor();
    const QPoint global = view.mapToGlobal(QPointF(m.center().x(), m.center().y())).toPoint();
    // Qt on X11 keeps a screen's origin and multiplies the distance from it.
    const QScreen* q = view.windowHandle()->screen();
    const QPointF origin = q->geometry().topLeft();
    const double x = origin.x() + (global.x() - origin.x()) * q->devicePixelRatio();
    const double y = origin.y() + (global.y() - origin.y()) * q->devicePixelRatio();
    struct Case {
        double points;
        bool grabs;
    };
    for (const Case& c : {Case{11, true}, Case{-11, true}, Case{13.5, false}, Case{-13.5, false}}) {
        const int before = grabs;
        densitySession->motion(static_cast<int>(std::lround(x + c.points * k)), static_cast<int>(std::lround(y)));
        densitySession->button(true);
        densitySession->button(false);
        densitySession->sync();
        densitySession->waitFor([&] { return grabs > before; }, c.grabs ? 5 : 0.5);
        EXPECT_EQ(grabs > before, c.grabs) << c.points << " points (" << c.points * k << " pixels) from the divider";
    }
}

}  // namespace
}  // namespace marrowick::test
