#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/qt/qt_scheduler.h"

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

}  // namespace
}  // namespace marrowick
