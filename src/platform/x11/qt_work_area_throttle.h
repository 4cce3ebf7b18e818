#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

namespace marrowick::x11 {

// Qt reads the work area again for every change of _NET_WORKAREA, on the main thread and waiting
// for the server each time: a program changing it thousands of times a second would keep the
// event loop in those reads. This filter lets Qt see at most one change per interval; when it
// held changes back, it hands Qt one more at the end of the interval, so Qt ends with the last
// work area.
class QtWorkAreaThrottle : public QAbstractNativeEventFilter {
public:
    static constexpr int intervalMs = 50;

    // Installed on the application when Qt runs on X11, else none.
    static std::unique_ptr<QtWorkAreaThrottle> install();

    // catchUp hands Qt a change that was held back.
    QtWorkAreaThrottle(xcb_window_t root, xcb_atom_t workArea, std::function<void()> catchUp);
    ~QtWorkAreaThrottle() override;
    QtWorkAreaThrottle(const QtWorkAreaThrottle&) = delete;
    QtWorkAreaThrottle& operator=(const QtWorkAreaThrottle&) = delete;

    // True for a change Qt does not get now.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    using Clock = std::chrono::steady_clock;

    xcb_window_t root_;
    xcb_atom_t workArea_;
    std::function<void()> catchUp_;
    QTimer timer_;
    Clock::time_point passed_{};
    bool held_ = false;
};

}  // namespace marrowick::x11
