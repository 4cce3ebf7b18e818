#pragma once

#include <mutex>
#include <vector>

#include "follow/serial_queue.h"
#include "platform/screens.h"
#include "platform/window_control.h"

namespace marrowick {

// Keeps the windows that fill a screen's tiles in their tiles while the sections change:
// capture before the change, update after each step. All window access runs on the follower's
// own queue; updates coalesce so at most one apply pass waits, always with the newest tiles.
class WindowFollower {
public:
    struct Follower {
        Window window;
        std::size_t section = 0;  // the tile it filled at capture
        Rect frame;               // as read at capture, then as last asked for
    };

    // How far each edge of a window may lie from its tile's edge to count as filling it.
    static constexpr double tolerance = 24.0;

    // ownApplication: this process, whose windows are never followed.
    WindowFollower(WindowControl& windows, int ownApplication);
    ~WindowFollower();
    WindowFollower(const WindowFollower&) = delete;
    WindowFollower& operator=(const WindowFollower&) = delete;

    // Both return at once; the work runs on queue().
    void capture(const Screen& screen);
    void update(const Screen& screen);

    [[nodiscard]] SerialQueue& queue() { return queue_; }
    // Only to be read on the queue (or once it is drained).
    [[nodiscard]] const std::vector<Follower>& followers() const { return followers_; }

private:
    void capturePass(const std::vector<Rect>& tiles);
    void applyPass();

    WindowControl& windows_;
    int ownApplication_;
    std::mutex lock_;  // guards latest_ and scheduled_
    std::vector<Rect> latest_;
    bool scheduled_ = false;
    std::vector<Follower> followers_;  // touched only on the queue
    // Last, so it is stopped (running what is queued) before the fields its tasks use go.
    SerialQueue queue_;
};

}  // namespace marrowick
