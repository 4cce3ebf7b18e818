#include "ui/outline.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QPixmap>
#include <QWidget>

#include "support/desktop_fixture.h"
#include "ui/outline_pool.h"

namespace marrowick {
namespace {

class OutlineTest : public test::DesktopTest {
protected:
    void show(const Rect& r) { outline.show(r, Settings::outlineStyle()); }
    Outline outline{desk.screens()};
};

TEST_F(OutlineTest, HiddenUntilShownThenPlacedInNativeCoordinates) {
    EXPECT_FALSE(outline.isVisible());
    show({0, 0, 1142, 1415});
    EXPECT_TRUE(outline.isVisible());
    EXPECT_EQ(outline.window().geometry(), QRect(0, 25, 1142, 1415));
    show({0, 0, 1142, 1415});
    EXPECT_EQ(outline.window().geometry(), QRect(0, 25, 1142, 1415));
    outline.hide();
    EXPECT_FALSE(outline.isVisible());
    show({3440, 0, 960, 1080});
    EXPECT_TRUE(outline.isVisible());
    EXPECT_EQ(outline.window().geometry(), QRect(3440, 360, 960, 1080));
}

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

TEST_F(OutlineTest, ShowingAgainAtTheSameRectangleSetsNoFrame) {
    show({0, 0, 1142, 1415});
    FrameWrites writes(outline.window());
    show({0, 0, 1142, 1415});
    show({0, 0, 1142, 1415});
    EXPECT_EQ(writes.count, 0);
    show({1147, 0, 1146, 1415});
    EXPECT_GT(writes.count, 0);
    EXPECT_EQ(outline.window().geometry(), QRect(1147, 25, 1146, 1415));
}

TEST_F(OutlineTest, IsClickThroughAndNeverTakesFocus) {
    const Qt::WindowFlags f = outline.window().windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(f.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(outline.window().testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST_F(OutlineTest, PaintsTheStyleOfEachShow) {
    show({100, 100, 200, 100});
    EXPECT_EQ(outline.style(), (OutlineStyle{{0.56, 0.56, 0.58, 0.3}, {1, 1, 1, 0.6}, 1.0, 12.0}));
    Settings::setColor({1, 0, 0, 1}, "fillColor");
    Settings::setColor({0, 0, 1, 1}, "borderColor");
    store.set("borderWidth", Value(4.0));
    show({100, 100, 200, 100});
    EXPECT_EQ(outline.style().fill, (Color{1, 0, 0, 1}));

    const QImage img = outline.window().grab().toImage();
    EXPECT_EQ(img.pixelColor(100, 50), QColor(255, 0, 0)) << "fill inside";
    EXPECT_EQ(img.pixelColor(100, 1), QColor(0, 0, 255)) << "border along the inside of the edge";
    EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0) << "rounded corner left clear";
}

TEST_F(OutlineTest, WithoutTranslucencyOnlyTheBorderIsLeft) {
    desk.screens().translucency = false;
    show({100, 100, 200, 100});
    const QRegion mask = outline.window().mask();
    EXPECT_FALSE(mask.isEmpty());
    EXPECT_FALSE(mask.contains(QPoint(100, 50))) << "the inside is cut away";
    EXPECT_TRUE(mask.contains(QPoint(100, 0))) << "the border stays";
    desk.screens().translucency = true;
    show({100, 100, 200, 100});
    EXPECT_TRUE(outline.window().mask().isEmpty());
}

}  // namespace
}  // namespace marrowick
