#pragma once

#include <QTimer>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/window_control.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

// Other applications' windows through EWMH and ICCCM. A window is a client window (the one with
// WM_STATE). Each calling thread gets a connection of its own, so the main thread never waits
// behind the follower's requests, and every call ends within requestTimeout.
//
// On the creating thread, when it runs a Qt event loop, frame writes are answered at once but sent
// when the thread returns to its loop (or makes its next call here): a window then lands in one
// step. Other threads' writes are sent and checked before the call returns.
class X11WindowControl : public WindowControl {
public:
    explicit X11WindowControl(std::string display);
    ~X11WindowControl() override;

    bool granted(bool /*ask*/) override { return true; }  // X11 asks no permission
    std::optional<Window> windowAt(Point p) override;
    Result<std::vector<Window>> windows() override;
    Result<Rect> frame(Window w) override;
    Result<void> setFrame(Window w, const Rect& r) override;
    Result<WindowKind> kind(Window w) override;
    Result<bool> minimized(Window w) override;
    Result<int> application(Window w) override;

    // The child of the root that holds w: the frame the window manager drew around it, or w
    // itself without one. Stacking happens among these.
    Result<std::uint32_t> topLevel(Window w);

private:
    // What one frame write asks of the window manager (root coordinates, client size).
    struct FrameRequest {
        std::int32_t x = 0, y = 0;
        int width = 0, height = 0;
        bool refused = false;  // the size hints keep another size
    };
    // A frame write answered but not yet sent.
    struct HeldFrame {
        xcb_window_t window = 0;
        bool managed = true;
        FrameRequest request;
    };

    Connection* connection();
    // The queries of one call on this thread's connection (sending a held write first), or why
    // there are none.
    Result<WindowQueries> queries();
    // Takes a maximised window out of that state and waits (bounded) until the manager did.
    static bool unmaximize(WindowQueries& q, xcb_window_t w);
    static void waitForSteadyExtents(WindowQueries& q, xcb_window_t w);
    static FrameRequest frameRequest(WindowQueries& q, xcb_window_t w, const Rect& r, const Extents& extents,
                                     int border);
    static xcb_void_cookie_t askWindowManager(Connection& conn, xcb_window_t w, const FrameRequest& request);
    static xcb_void_cookie_t configure(Connection& conn, xcb_window_t w, const FrameRequest& request);
    // Sends the held write, if any, when called on the creating thread.
    void sendHeld(Connection& conn);
    void hold(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request);
    static void send(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request);

    std::string display_;
    std::mutex mutex_;  // guards connections_
    std::map<std::thread::id, std::unique_ptr<Connection>> connections_;
    // Writes are held only on the creating thread, and only when it runs a Qt event loop.
    std::thread::id owner_;
    std::optional<HeldFrame> held_;
    std::unique_ptr<QTimer> sendTimer_;  // sends the held write once the thread is back in its loop
};

}  // namespace marrowick::x11
