#pragma once

#include <QTimer>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/accessibility.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

// Windows of other applications through EWMH and ICCCM. An element is a client window (the one
// with WM_STATE), an application (by pid) or the system-wide element. Each calling thread gets a
// connection of its own, so the main thread never waits behind the follower's requests, and
// every call ends by its element's messaging timeout.
//
// On the creating thread, when it runs a Qt event loop, frame writes are answered at once but sent
// when the thread returns to its loop (or makes its next call here): consecutive position and
// size writes of one window then reach the window manager as one request, and the window lands in
// one step. Other threads' writes are sent and checked before the call returns.
class X11Accessibility : public Accessibility {
public:
    static constexpr double defaultTimeout = 1.0;

    explicit X11Accessibility(std::string display);
    ~X11Accessibility() override;

    bool isTrusted(bool prompt) override;
    [[nodiscard]] Element systemWide() const override;
    [[nodiscard]] Element application(int pid) override;
    AXReply elementAtPosition(const Element& root, float x, float y) override;
    AXReply copyAttribute(const Element& element, std::string_view name) override;
    int setAttribute(const Element& element, std::string_view name, const Value& value) override;
    int setMessagingTimeout(const Element& element, float seconds) override;

    // Element ids: the kind in the top byte, the window id or pid below.
    static Element windowElement(std::uint32_t window);
    static std::optional<std::uint32_t> windowOf(const Element& e);
    static std::optional<int> pidOf(const Element& e);

private:
    // What one frame write asks of the window manager (root coordinates, client size).
    struct FrameRequest {
        bool position = false;
        bool size = false;
        std::int32_t x = 0, y = 0;
        int width = 0, height = 0;
        int error = AXError::success;  // cannotComplete when the size hints refuse the size
    };

    Connection* connection();
    Deadline deadlineFor(const Element& e);
    AXReply applicationAttribute(Connection& conn, int pid, std::string_view name, Deadline deadline);
    static AXReply frameAttribute(Connection& conn, xcb_window_t w, std::string_view name, Deadline deadline);
    AXReply windowAttribute(Connection& conn, xcb_window_t w, std::string_view name, Deadline deadline);
    int setFrame(std::uint32_t window, std::optional<Point> position, std::optional<Size> size, Deadline deadline);
    // Takes a maximised window out of that state and waits (bounded) until the manager did.
    static bool unmaximize(WindowQueries& q, xcb_window_t w);
    static void waitForSteadyExtents(WindowQueries& q, xcb_window_t w);
    static FrameRequest frameRequest(WindowQueries& q, xcb_window_t w, std::optional<Point> position,
                                     std::optional<Size> size, std::pair<int, int> origin, const Extents& extents,
                                     int border);
    static xcb_void_cookie_t askWindowManager(Connection& conn, xcb_window_t w, const FrameRequest& request);
    static xcb_void_cookie_t configure(Connection& conn, xcb_window_t w, const FrameRequest& request);

    // A frame write answered but not yet sent.
    struct HeldFrame {
        xcb_window_t window = 0;
        bool managed = true;
        FrameRequest request;
    };
    // Sends the held write, if any, when called on the creating thread.
    void sendHeld(Connection& conn);
    void hold(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request);
    static void send(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request);

    std::string display_;
    std::mutex mutex_;  // guards the two maps
    std::map<std::thread::id, std::unique_ptr<Connection>> connections_;
    std::map<std::uint64_t, double> timeouts_;
    // Writes are held only on the creating thread, and only when it runs a Qt event loop.
    std::thread::id owner_;
    std::optional<HeldFrame> held_;
    std::unique_ptr<QTimer> sendTimer_;  // sends the held write once the thread is back in its loop
};

}  // namespace marrowick::x11
