#include "platform/x11/qt_work_area_throttle.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace marrowick::x11 {
namespace {

constexpr xcb_window_t root = 0x100;
constexpr xcb_atom_t workArea = 0x200;

xcb_property_notify_event_t change(xcb_window_t window = root, xcb_atom_t atom = workArea, bool sent = false) {
    xcb_property_notify_event_t e{};
    e.response_type = XCB_PROPERTY_NOTIFY | (sent ? 0x80 : 0);
    e.window = window;
    e.atom = atom;
    return e;
}

// Runs the event loop until done() or the deadline has passed.
template <class F>
bool spinUntil(F done, int deadlineMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < deadlineMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

TEST(QtWorkAreaThrottle, QtSeesOneChangePerIntervalAndTheLastOneWhenItEnds) {
    int caughtUp = 0;
    QtWorkAreaThrottle throttle(root, workArea, [&] { ++caughtUp; });
    const auto held = [&](xcb_property_notify_event_t e) {
        return throttle.nativeEventFilter("xcb_generic_event_t", &e, nullptr);
    };
    EXPECT_FALSE(held(change())) << "the first change goes through";
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(held(change())) << i;
    EXPECT_FALSE(held(change(root, workArea + 1))) << "other properties are Qt's";
    EXPECT_FALSE(held(change(root + 1, workArea))) << "so are other windows'";
    EXPECT_FALSE(held(change(root, workArea, true))) << "a change handed on goes through";
    EXPECT_TRUE(spinUntil([&] { return caughtUp == 1; }, 2000)) << "the held changes are handed on once";
    EXPECT_TRUE(held(change())) << "within an interval of the last one handed on";
    EXPECT_TRUE(spinUntil([&] { return caughtUp == 2; }, 2000));
    EXPECT_FALSE(spinUntil([&] { return caughtUp > 2; }, 4 * QtWorkAreaThrottle::intervalMs))
        << "nothing held, nothing handed on";
}

}  // namespace
}  // namespace marrowick::x11
