#include "platform/x11/x11_window_control.h"

#include <xcb/xcbext.h>

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cmath>
#include <limits>

namespace marrowick::x11 {

namespace {

// _NET_MOVERESIZE_WINDOW / _NET_WM_STATE fields.
constexpr std::uint32_t gravityNorthWest = 1;
constexpr std::uint32_t moveX = 1u << 8, moveY = 1u << 9, moveW = 1u << 10, moveH = 1u << 11;
constexpr std::uint32_t sourcePager = 2;
constexpr std::uint32_t stateRemove = 0;
constexpr std::uint32_t iconicState = 3;

// A query that found nothing: the window is gone, unless the time ran out or the server went first.
WindowError missingOrLate(const Connection& conn, Deadline deadline) {
    return conn.broken() || Clock::now() >= deadline ? WindowError::busy : WindowError::gone;
}

// Whether the window still exists: every answer about it starts here.
std::optional<WindowError> problem(WindowQueries& q, xcb_window_t w) {
    Connection& conn = q.connection();
    Wait outcome = Wait::error;
    auto attrs =
        conn.await<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(conn.get(), w), q.deadline(), &outcome);
    if (attrs) return std::nullopt;
    return outcome == Wait::timeout || outcome == Wait::broken ? WindowError::busy : WindowError::gone;
}

xcb_window_t xid(Window w) { return static_cast<xcb_window_t>(w.id); }
// An id wider than an X window id names no window here; cut to 32 bits it could name another.
bool fitsXid(Window w) { return w.id <= std::numeric_limits<xcb_window_t>::max(); }

void sendRootMessage(Connection& conn, xcb_window_t window, xcb_atom_t type, const std::uint32_t (&data)[5]) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = type;
    std::copy(std::begin(data), std::end(data), ev.data.data32);
    xcb_send_event(conn.get(), 0, conn.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
}

}  // namespace

X11WindowControl::X11WindowControl(std::string display)
    : display_(std::move(display)), owner_(std::this_thread::get_id()) {
    // Connecting cannot be bounded by a timeout (xcb_connect waits for the server's greeting), so
    // the creating thread connects now rather than in the middle of a request.
    (void)connection();
    if (QAbstractEventDispatcher::instance() != nullptr) {
        sendTimer_ = std::make_unique<QTimer>();
        sendTimer_->setSingleShot(true);
        sendTimer_->setInterval(0);
        QObject::connect(sendTimer_.get(), &QTimer::timeout, [this] {
            if (Connection* c = connection()) sendHeld(*c);
        });
    }
}

X11WindowControl::~X11WindowControl() {
    if (Connection* c = held_ ? connection() : nullptr) sendHeld(*c);  // a write answered is a write made
}

Connection* X11WindowControl::connection() {
    auto id = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    auto it = connections_.find(id);
    if (it != connections_.end() && !it->second->broken()) return it->second.get();
    if (it != connections_.end()) connections_.erase(it);
    lock.unlock();
    // Connecting happens outside the lock so other threads are not held up by it.
    auto conn = Connection::open(display_, requestTimeout);
    if (!conn) return nullptr;
    lock.lock();
    auto& slot = connections_[id];
    slot = std::move(conn);
    return slot.get();
}

Result<WindowQueries> X11WindowControl::queries() {
    const Deadline deadline = deadlineIn(requestTimeout);
    Connection* conn = connection();
    if (conn == nullptr) return WindowError::busy;
    sendHeld(*conn);
    return WindowQueries(*conn, deadline);
}

std::optional<Window> X11WindowControl::windowAt(Point p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 32767 || std::abs(p.y) > 32767)
        return std::nullopt;
    auto q = queries();
    if (!q) return std::nullopt;
    WindowQueries wq = *q;
    auto top = wq.topLevelAt(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
    if (!top) return std::nullopt;  // the root: no window there
    auto client = wq.clientOf(*top);
    if (!client) return std::nullopt;
    const WindowType type = wq.type(*client);
    if (type == WindowType::desktop || type == WindowType::dock) return std::nullopt;
    return Window{*client};
}

Result<std::vector<Window>> X11WindowControl::windows() {
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    std::vector<Window> out;
    for (xcb_window_t w : wq.clients()) out.push_back({w});
    if (wq.connection().broken() || Clock::now() > wq.deadline()) return WindowError::busy;
    return out;
}

Result<Rect> X11WindowControl::frame(Window w) {
    if (!fitsXid(w)) return WindowError::gone;
    // The hot path of a drag: one round trip, its requests telling whether the window exists.
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    auto f = wq.frame(xid(w));
    if (!f) return missingOrLate(wq.connection(), wq.deadline());
    return *f;
}

Result<WindowKind> X11WindowControl::kind(Window w) {
    if (!fitsXid(w)) return WindowError::gone;
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    if (auto e = problem(wq, xid(w))) return *e;
    switch (wq.type(xid(w))) {
        case WindowType::normal: {
            const auto states = wq.states(xid(w));
            const auto modal = wq.connection().atoms().netWmStateModal;
            const bool isModal = std::find(states.begin(), states.end(), modal) != states.end();
            return wq.isTransient(xid(w)) || isModal ? WindowKind::dialog : WindowKind::normal;
        }
        case WindowType::dialog:
            return WindowKind::dialog;
        default:
            return WindowKind::other;
    }
}

Result<bool> X11WindowControl::minimized(Window w) {
    if (!fitsXid(w)) return WindowError::gone;
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    if (auto e = problem(wq, xid(w))) return *e;
    const auto states = wq.states(xid(w));
    const auto hidden = wq.connection().atoms().netWmStateHidden;
    return std::find(states.begin(), states.end(), hidden) != states.end() || wq.wmState(xid(w)) == iconicState;
}

Result<int> X11WindowControl::application(Window w) {
    if (!fitsXid(w)) return WindowError::gone;
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    if (auto e = problem(wq, xid(w))) return *e;
    if (auto pid = wq.pid(xid(w))) return *pid;
    return missingOrLate(wq.connection(), wq.deadline());
}

Result<std::uint32_t> X11WindowControl::topLevel(Window w) {
    if (!fitsXid(w)) return WindowError::gone;
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    if (auto top = wq.topLevelOf(xid(w))) return *top;
    return missingOrLate(wq.connection(), wq.deadline());
}

Result<void> X11WindowControl::setFrame(Window window, const Rect& r) {
    if (!std::isfinite(r.x) || !std::isfinite(r.y) || !(r.width >= 1) || !(r.height >= 1) || r.width > 32767 ||
        r.height > 32767)
        return WindowError::refused;
    if (!fitsXid(window)) return WindowError::gone;
    auto q = queries();
    if (!q) return q.error();
    WindowQueries wq = *q;
    Connection& conn = wq.connection();
    const xcb_window_t w = xid(window);
    if (auto e = problem(wq, w)) return *e;
    const bool managed = wq.windowManagerRunning();
    if (managed && !unmaximize(wq, w)) return WindowError::busy;

    Extents extents;
    int border = 0;
    if (!wq.frame(w, &extents, &border)) return missingOrLate(conn, wq.deadline());
    const FrameRequest request = frameRequest(wq, w, r, extents, border);
    const Result<void> answer = request.refused ? Result<void>(WindowError::refused) : Result<void>();
    if (sendTimer_ && std::this_thread::get_id() == owner_) {
        // The window exists and the request is known: what the write answers is decided here.
        hold(conn, w, managed, request);
        return answer;
    }
    const xcb_void_cookie_t cookie = managed ? askWindowManager(conn, w, request) : configure(conn, w, request);
    if (!conn.check(cookie, wq.deadline())) return missingOrLate(conn, wq.deadline());
    return answer;
}

void X11WindowControl::hold(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request) {
    if (held_ && held_->window != w) sendHeld(conn);
    // A later write of the same window replaces the earlier one: only where it ends counts.
    held_ = HeldFrame{w, managed, request};
    sendTimer_->start();
}

void X11WindowControl::sendHeld(Connection& conn) {
    if (!held_ || std::this_thread::get_id() != owner_) return;
    const HeldFrame h = *held_;
    held_.reset();
    send(conn, h.window, h.managed, h.request);
}

void X11WindowControl::send(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request) {
    const xcb_void_cookie_t cookie = managed ? askWindowManager(conn, w, request) : configure(conn, w, request);
    xcb_discard_reply(conn.get(), cookie.sequence);  // nobody waits for its outcome
    xcb_flush(conn.get());
}

bool X11WindowControl::unmaximize(WindowQueries& q, xcb_window_t w) {
    Connection& conn = q.connection();
    const Atoms& a = conn.atoms();
    auto isMax = [&](xcb_atom_t s) { return s == a.netWmStateMaxVert || s == a.netWmStateMaxHorz; };
    auto states = q.states(w);
    if (std::none_of(states.begin(), states.end(), isMax)) return true;
    // A maximised window keeps its place: ask the manager to let go, and wait until it did.
    sendRootMessage(conn, w, a.netWmState, {stateRemove, a.netWmStateMaxVert, a.netWmStateMaxHorz, sourcePager, 0});
    for (;;) {
        states = q.states(w);
        if (std::none_of(states.begin(), states.end(), isMax)) break;
        if (Clock::now() >= q.deadline() || conn.broken()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    waitForSteadyExtents(q, w);
    return true;
}

void X11WindowControl::waitForSteadyExtents(WindowQueries& q, xcb_window_t w) {
    // The manager sets the new extents a moment after the state: wait until they hold still for a
    // while (bounded), so a size is computed against the right frame.
    auto same = [](const Extents& x, const Extents& y) {
        return x.left == y.left && x.right == y.right && x.top == y.top && x.bottom == y.bottom;
    };
    const Deadline settle = std::min(q.deadline(), deadlineIn(0.1));
    Extents last = q.extents(w);
    Clock::time_point stableSince = Clock::now();
    while (Clock::now() < settle && Clock::now() - stableSince < std::chrono::milliseconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const Extents now = q.extents(w);
        if (!same(now, last)) stableSince = Clock::now();
        last = now;
    }
}

X11WindowControl::FrameRequest X11WindowControl::frameRequest(WindowQueries& q, xcb_window_t w, const Rect& r,
                                                              const Extents& e, int border) {
    FrameRequest out;
    out.x = static_cast<std::int32_t>(std::lround(r.x));
    out.y = static_cast<std::int32_t>(std::lround(r.y));
    // The manager adds its frame around the client: ask for the client's part of the size.
    const int wantW = static_cast<int>(std::lround(r.width)) - e.left - e.right - 2 * border;
    const int wantH = static_cast<int>(std::lround(r.height)) - e.top - e.bottom - 2 * border;
    SizeHints hints;
    if (auto v = q.connection().property32(w, q.connection().atoms().wmNormalHints, q.deadline()))
        hints = SizeHints::fromProperty(*v);
    const auto [gotW, gotH] = hints.constrain(std::max(1, wantW), std::max(1, wantH));
    out.refused = gotW != wantW || gotH != wantH;  // it gets the closest size it accepts
    out.width = gotW;
    out.height = gotH;
    return out;
}

xcb_void_cookie_t X11WindowControl::askWindowManager(Connection& conn, xcb_window_t w, const FrameRequest& r) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = conn.atoms().netMoveresizeWindow;
    ev.data.data32[0] = gravityNorthWest | (sourcePager << 12) | moveX | moveY | moveW | moveH;
    ev.data.data32[1] = static_cast<std::uint32_t>(r.x);
    ev.data.data32[2] = static_cast<std::uint32_t>(r.y);
    ev.data.data32[3] = static_cast<std::uint32_t>(r.width);
    ev.data.data32[4] = static_cast<std::uint32_t>(r.height);
    return xcb_send_event_checked(conn.get(), 0, conn.root(),
                                  XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                  reinterpret_cast<const char*>(&ev));
}

xcb_void_cookie_t X11WindowControl::configure(Connection& conn, xcb_window_t w, const FrameRequest& r) {
    // No manager: the window is its own frame and is configured directly.
    const std::uint32_t values[4] = {static_cast<std::uint32_t>(r.x), static_cast<std::uint32_t>(r.y),
                                     static_cast<std::uint32_t>(r.width), static_cast<std::uint32_t>(r.height)};
    return xcb_configure_window_checked(
        conn.get(), w, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
        values);
}

}  // namespace marrowick::x11
