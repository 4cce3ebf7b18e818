#include "platform/x11/x11_accessibility.h"

#include <xcb/xcbext.h>

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cmath>

#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

namespace {

constexpr std::uint64_t kindShift = 56;
constexpr std::uint64_t kindWindow = 1;
constexpr std::uint64_t kindApplication = 2;
constexpr std::uint64_t kindSystemWide = 3;
constexpr std::uint64_t valueMask = 0xffffffffULL;

std::uint64_t kindOf(const Element& e) { return e.id >> kindShift; }

// _NET_MOVERESIZE_WINDOW / _NET_WM_STATE fields.
constexpr std::uint32_t gravityNorthWest = 1;
constexpr std::uint32_t moveX = 1u << 8, moveY = 1u << 9, moveW = 1u << 10, moveH = 1u << 11;
constexpr std::uint32_t sourcePager = 2;
constexpr std::uint32_t stateRemove = 0;
constexpr std::uint32_t iconicState = 3;

int errorOf(Wait w) {
    return w == Wait::timeout || w == Wait::broken ? AXError::cannotComplete : AXError::invalidUIElement;
}

// A query that found nothing: the window is gone, unless the time ran out or the server went first.
int missingOrLate(const Connection& conn, Deadline deadline) {
    return conn.broken() || Clock::now() >= deadline ? AXError::cannotComplete : AXError::invalidUIElement;
}

AXReply ok(Value v) { return {AXError::success, std::move(v)}; }
AXReply fail(int error) { return {error, {}}; }

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

// EWMH window types as the subroles the followers and the snapper know.
std::string subrole(WindowQueries& q, xcb_window_t w) {
    switch (q.type(w)) {
        case WindowType::normal: {
            const auto states = q.states(w);
            const auto modalState = q.connection().atoms().netWmStateModal;
            const bool modal = std::find(states.begin(), states.end(), modalState) != states.end();
            return q.isTransient(w) || modal ? "AXDialog" : "AXStandardWindow";
        }
        case WindowType::dialog:
            return "AXDialog";
        case WindowType::utility:
        case WindowType::toolbar:
        case WindowType::menu:
            return "AXFloatingWindow";
        case WindowType::splash:
        case WindowType::desktop:
        case WindowType::dock:
        case WindowType::other:
            return "AXUnknown";
    }
    return "AXUnknown";
}

// The primary monitor's root origin: Accessibility coordinates start there.
std::optional<std::pair<int, int>> primaryOrigin(Connection& conn, Deadline deadline) {
    auto monitors = queryMonitors(conn, deadline, false);
    if (!monitors || monitors->empty()) return std::nullopt;
    return std::pair{monitors->front().x, monitors->front().y};
}

}  // namespace

X11Accessibility::X11Accessibility(std::string display)
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
X11Accessibility::~X11Accessibility() {
    if (Connection* c = held_ ? connection() : nullptr) sendHeld(*c);  // a write answered is a write made
}

Element X11Accessibility::windowElement(std::uint32_t window) { return Element{(kindWindow << kindShift) | window}; }

std::optional<std::uint32_t> X11Accessibility::windowOf(const Element& e) {
    if (kindOf(e) != kindWindow || (e.id & valueMask) == 0) return std::nullopt;
    return static_cast<std::uint32_t>(e.id & valueMask);
}

std::optional<int> X11Accessibility::pidOf(const Element& e) {
    if (kindOf(e) != kindApplication) return std::nullopt;
    return static_cast<int>(e.id & valueMask);
}

bool X11Accessibility::isTrusted(bool /*prompt*/) { return true; }  // X11 asks no permission

Element X11Accessibility::systemWide() const { return Element{kindSystemWide << kindShift}; }

Element X11Accessibility::application(int pid) {
    return Element{(kindApplication << kindShift) | (static_cast<std::uint64_t>(pid) & valueMask)};
}

int X11Accessibility::setMessagingTimeout(const Element& element, float seconds) {
    if (!(seconds >= 0) || kindOf(element) == 0) return AXError::illegalArgument;
    std::lock_guard lock(mutex_);
    timeouts_[element.id] = seconds;
    return AXError::success;
}

Deadline X11Accessibility::deadlineFor(const Element& e) {
    double seconds = defaultTimeout;
    {
        std::lock_guard lock(mutex_);
        // As on the platform the service imitates: the system-wide timeout applies to elements
        // without one of their own; zero means the default.
        if (auto it = timeouts_.find(e.id); it != timeouts_.end() && it->second > 0) {
            seconds = it->second;
        } else if (auto sw = timeouts_.find(systemWide().id); sw != timeouts_.end() && sw->second > 0) {
            seconds = sw->second;
        }
    }
    return deadlineIn(seconds);
}

Connection* X11Accessibility::connection() {
    auto id = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    auto it = connections_.find(id);
    if (it != connections_.end() && !it->second->broken()) return it->second.get();
    if (it != connections_.end()) connections_.erase(it);
    lock.unlock();
    // Connecting happens outside the lock so other threads are not held up by it.
    auto conn = Connection::open(display_, defaultTimeout);
    if (!conn) return nullptr;
    lock.lock();
    auto& slot = connections_[id];
    slot = std::move(conn);
    return slot.get();
}

AXReply X11Accessibility::elementAtPosition(const Element& root, float x, float y) {
    if (kindOf(root) != kindSystemWide && kindOf(root) != kindApplication) return fail(AXError::illegalArgument);
    if (!std::isfinite(x) || !std::isfinite(y)) return fail(AXError::illegalArgument);
    Deadline deadline = deadlineFor(root);
    Connection* conn = connection();
    if (!conn) return fail(AXError::cannotComplete);
    sendHeld(*conn);
    auto origin = primaryOrigin(*conn, deadline);
    if (!origin) return fail(AXError::cannotComplete);
    const double rx = std::floor(static_cast<double>(x)) + origin->first;
    const double ry = std::floor(static_cast<double>(y)) + origin->second;
    if (std::abs(rx) > 32767 || std::abs(ry) > 32767) return fail(AXError::noValue);
    WindowQueries q(*conn, deadline);
    auto top = q.topLevelAt(static_cast<int>(rx), static_cast<int>(ry));
    if (!top) return fail(AXError::noValue);  // the root: no window there
    auto client = q.clientOf(*top);
    if (!client || q.type(*client) == WindowType::desktop) return fail(AXError::noValue);
    if (auto pid = pidOf(root); pid && q.pid(*client) != *pid) return fail(AXError::noValue);
    return ok(windowElement(*client));
}

AXReply X11Accessibility::copyAttribute(const Element& element, std::string_view name) {
    const Deadline deadline = deadlineFor(element);
    const auto kind = kindOf(element);
    if (kind == kindSystemWide) {
        if (name == "AXRole") return ok("AXSystemWide");
        return fail(AXError::attributeUnsupported);
    }
    if (kind != kindWindow && kind != kindApplication) return fail(AXError::invalidUIElement);
    Connection* conn = connection();
    if (!conn) return fail(AXError::cannotComplete);
    sendHeld(*conn);
    if (auto pid = pidOf(element)) return applicationAttribute(*conn, *pid, name, deadline);
    const xcb_window_t w = *windowOf(element);
    if (name == "AXPosition" || name == "AXSize") return frameAttribute(*conn, w, name, deadline);
    return windowAttribute(*conn, w, name, deadline);
}

AXReply X11Accessibility::applicationAttribute(Connection& conn, int pid, std::string_view name, Deadline deadline) {
    if (name == "AXRole") return ok("AXApplication");
    if (name != "AXWindows") return fail(AXError::attributeUnsupported);
    WindowQueries q(conn, deadline);
    const auto clients = q.clients();
    const auto pids = q.pids(clients);
    Value::List windows;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (pids[i] == pid) windows.emplace_back(windowElement(clients[i]));
    }
    if (conn.broken() || Clock::now() > deadline) return fail(AXError::cannotComplete);
    return ok(std::move(windows));
}

AXReply X11Accessibility::frameAttribute(Connection& conn, xcb_window_t w, std::string_view name, Deadline deadline) {
    // The hot path of a drag: two round trips, the frame's requests telling whether it exists.
    auto origin = primaryOrigin(conn, deadline);
    if (!origin) return fail(AXError::cannotComplete);
    WindowQueries q(conn, deadline);
    auto f = q.frame(w);
    if (!f) return fail(missingOrLate(conn, deadline));
    if (name == "AXSize") return ok(Size{f->width, f->height});
    return ok(Point{f->x - origin->first, f->y - origin->second});
}

AXReply X11Accessibility::windowAttribute(Connection& conn, xcb_window_t w, std::string_view name, Deadline deadline) {
    // Every other window attribute first proves the window still exists.
    Wait outcome = Wait::error;
    auto attrs =
        conn.await<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(conn.get(), w), deadline, &outcome);
    if (!attrs) return fail(errorOf(outcome));

    WindowQueries q(conn, deadline);
    if (name == "AXRole") return ok("AXWindow");
    if (name == "AXWindow") return ok(windowElement(w));
    if (name == "AXParent") {
        auto pid = q.pid(w);
        if (!pid) return fail(AXError::noValue);
        return ok(application(*pid));
    }
    if (name == "AXSubrole") return ok(subrole(q, w));
    if (name == "AXMinimized") {
        const auto states = q.states(w);
        const bool hidden = std::find(states.begin(), states.end(), conn.atoms().netWmStateHidden) != states.end();
        return ok(hidden || q.wmState(w) == iconicState);
    }
    if (name == "AXTitle") {
        auto t = q.title(w);
        return t ? ok(*t) : fail(AXError::noValue);
    }
    return fail(AXError::attributeUnsupported);
}

int X11Accessibility::setAttribute(const Element& element, std::string_view name, const Value& value) {
    auto w = windowOf(element);
    if (!w) return kindOf(element) == 0 ? AXError::invalidUIElement : AXError::attributeUnsupported;
    Deadline deadline = deadlineFor(element);
    if (name == "AXPosition") {
        const auto* p = value.as<Point>();
        if (!p || !std::isfinite(p->x) || !std::isfinite(p->y)) return AXError::illegalArgument;
        return setFrame(*w, *p, std::nullopt, deadline);
    }
    if (name == "AXSize") {
        const auto* s = value.as<Size>();
        if (!s || !(s->width >= 1) || !(s->height >= 1) || s->width > 32767 || s->height > 32767)
            return AXError::illegalArgument;
        return setFrame(*w, std::nullopt, *s, deadline);
    }
    return AXError::attributeUnsupported;
}

int X11Accessibility::setFrame(std::uint32_t w, std::optional<Point> position, std::optional<Size> size,
                               Deadline deadline) {
    Connection* conn = connection();
    if (!conn) return AXError::cannotComplete;
    WindowQueries q(*conn, deadline);
    Wait outcome = Wait::error;
    auto geometry = conn->await<xcb_get_geometry_reply_t>(xcb_get_geometry(conn->get(), w), deadline, &outcome);
    if (!geometry) return errorOf(outcome);
    auto origin = primaryOrigin(*conn, deadline);
    if (!origin) return AXError::cannotComplete;
    const bool managed = q.windowManagerRunning();
    if (managed && !unmaximize(q, w)) return AXError::cannotComplete;

    Extents extents;
    int border = 0;
    if (!q.frame(w, &extents, &border)) return missingOrLate(*conn, deadline);
    const FrameRequest request = frameRequest(q, w, position, size, *origin, extents, border);
    if (sendTimer_ && std::this_thread::get_id() == owner_) {
        // The window exists and the request is known: what the write answers is decided here.
        hold(*conn, w, managed, request);
        return request.error;
    }
    const xcb_void_cookie_t cookie = managed ? askWindowManager(*conn, w, request) : configure(*conn, w, request);
    if (!conn->check(cookie, deadline)) return missingOrLate(*conn, deadline);
    return request.error;
}

void X11Accessibility::hold(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request) {
    if (held_ && held_->window != w) sendHeld(conn);
    if (!held_) {
        held_ = HeldFrame{w, managed, request};
        sendTimer_->start();
        return;
    }
    // The later write wins where both say something; together they are one request.
    FrameRequest& r = held_->request;
    if (request.position) {
        r.position = true;
        r.x = request.x;
        r.y = request.y;
    }
    if (request.size) {
        r.size = true;
        r.width = request.width;
        r.height = request.height;
    }
    held_->managed = managed;
}

void X11Accessibility::sendHeld(Connection& conn) {
    if (!held_ || std::this_thread::get_id() != owner_) return;
    const HeldFrame h = *held_;
    held_.reset();
    send(conn, h.window, h.managed, h.request);
}

void X11Accessibility::send(Connection& conn, xcb_window_t w, bool managed, const FrameRequest& request) {
    const xcb_void_cookie_t cookie = managed ? askWindowManager(conn, w, request) : configure(conn, w, request);
    xcb_discard_reply(conn.get(), cookie.sequence);  // nobody waits for its outcome
    xcb_flush(conn.get());
}

bool X11Accessibility::unmaximize(WindowQueries& q, xcb_window_t w) {
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

void X11Accessibility::waitForSteadyExtents(WindowQueries& q, xcb_window_t w) {
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

X11Accessibility::FrameRequest X11Accessibility::frameRequest(WindowQueries& q, xcb_window_t w,
                                                              std::optional<Point> position, std::optional<Size> size,
                                                              std::pair<int, int> origin, const Extents& e,
                                                              int border) {
    FrameRequest r;
    if (position) {
        r.x = static_cast<std::int32_t>(std::lround(position->x)) + origin.first;
        r.y = static_cast<std::int32_t>(std::lround(position->y)) + origin.second;
        r.position = true;
    }
    if (size) {
        // The manager adds its frame around the client: ask for the client's part of the size.
        const int wantW = static_cast<int>(std::lround(size->width)) - e.left - e.right - 2 * border;
        const int wantH = static_cast<int>(std::lround(size->height)) - e.top - e.bottom - 2 * border;
        SizeHints hints;
        if (auto v = q.connection().property32(w, q.connection().atoms().wmNormalHints, q.deadline()))
            hints = SizeHints::fromProperty(*v);
        const auto [gotW, gotH] = hints.constrain(std::max(1, wantW), std::max(1, wantH));
        if (gotW != wantW || gotH != wantH) r.error = AXError::cannotComplete;  // the closest it accepts
        r.width = gotW;
        r.height = gotH;
        r.size = true;
    }
    return r;
}

xcb_void_cookie_t X11Accessibility::askWindowManager(Connection& conn, xcb_window_t w, const FrameRequest& r) {
    std::uint32_t flags = gravityNorthWest | (sourcePager << 12);
    if (r.position) flags |= moveX | moveY;
    if (r.size) flags |= moveW | moveH;
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = conn.atoms().netMoveresizeWindow;
    ev.data.data32[0] = flags;
    ev.data.data32[1] = static_cast<std::uint32_t>(r.x);
    ev.data.data32[2] = static_cast<std::uint32_t>(r.y);
    ev.data.data32[3] = static_cast<std::uint32_t>(r.width);
    ev.data.data32[4] = static_cast<std::uint32_t>(r.height);
    return xcb_send_event_checked(conn.get(), 0, conn.root(),
                                  XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                  reinterpret_cast<const char*>(&ev));
}

xcb_void_cookie_t X11Accessibility::configure(Connection& conn, xcb_window_t w, const FrameRequest& r) {
    // No manager: the window is its own frame and is configured directly.
    std::uint16_t mask = 0;
    std::uint32_t values[4];
    int n = 0;
    if (r.position) {
        mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
        values[n++] = static_cast<std::uint32_t>(r.x);
        values[n++] = static_cast<std::uint32_t>(r.y);
    }
    if (r.size) {
        mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
        values[n++] = static_cast<std::uint32_t>(r.width);
        values[n++] = static_cast<std::uint32_t>(r.height);
    }
    return xcb_configure_window_checked(conn.get(), w, mask, values);
}

}  // namespace marrowick::x11
