#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/qt/qt_scheduler.h"
#include "platform/qt/xdg_login_items.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

TEST(QtScheduler, CancelledTasksAndTimersStop) {
    QtScheduler s;
    int once = 0;
    int cancelledOnce = 0;
    int ticks = 0;
    TaskHandle first = s.after(0, [&] { ++once; });
    s.after(0, [&] { ++cancelledOnce; }).cancel();
    TaskHandle timer;
    timer = s.every(0.001, [&] {
        if (++ticks == 3) timer.cancel();
    });
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(cancelledOnce, 0);
    EXPECT_EQ(ticks, 3);
}

TEST(XdgLoginItems, RegisterWritesTheAutostartEntry) {
    test::TempDir dir;
    XdgLoginItems items(dir / "autostart" / "marrowick.desktop", "/usr/bin/marrowick");
    EXPECT_EQ(items.status(), 0);
    EXPECT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::enabled);
    EXPECT_NE(test::readFile(dir / "autostart" / "marrowick.desktop").find("Exec=/usr/bin/marrowick\n"),
              std::string::npos);
    EXPECT_EQ(items.unregisterItem(), std::nullopt);
    EXPECT_EQ(items.status(), 0);
}

}  // namespace
}  // namespace marrowick
