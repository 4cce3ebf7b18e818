#include "platform/x11/x11_accessibility.h"

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

int errorOf(Wait w) { return w == Wait::timeout || w == Wait::broken ? AXError::cannotComplete : AXError::invalidUIElement; }

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

// The primary monitor's root origin: Accessibility coordinates start there.
std::optional<std::pair<int, int>> primaryOrigin(Connection& conn, Deadline deadline) {
    auto monitors = queryMonitors(conn, deadline, false);
    if (!monitors || monitors->empty()) return std::nullopt;
    return std::pair{monitors->front().x, monitors->front().y};
}

}  // namespace

X11Accessibility::X11Accessibility(std::string display) : display_(std::move(display)) {
    // Connecting cannot be bounded by a timeout (xcb_connect waits for the server's greeting), so
    // the creating thread connects now rather than in the middle of a request.
    (void)connection();
}
X11Accessibility::~X11Accessibility() = default;

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
    auto origin = primaryOrigin(*conn, deadline);
    if (!origin) return fail(AXError::cannotComplete);
    double rx = std::floor(x) + origin->first, ry = std::floor(y) + origin->second;
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
    Deadline deadline = deadlineFor(element);
    auto kind = kindOf(element);
    if (kind == kindSystemWide) {
        if (name == "AXRole") return ok("AXSystemWide");
        return fail(AXError::attributeUnsupported);
    }
    if (kind != kindWindow && kind != kindApplication) return fail(AXError::invalidUIElement);
    Connection* conn = connection();
    if (!conn) return fail(AXError::cannotComplete);
    WindowQueries q(*conn, deadline);

    if (auto pid = pidOf(element)) {
        if (name == "AXRole") return ok("AXApplication");
        if (name == "AXWindows") {
            auto clients = q.clients();
            auto pids = q.pids(clients);
            Value::List windows;
            for (std::size_t i = 0; i < clients.size(); ++i)
                if (pids[i] == *pid) windows.emplace_back(windowElement(clients[i]));
            if (conn->broken() || Clock::now() > deadline) return fail(AXError::cannotComplete);
            return ok(std::move(windows));
        }
        return fail(AXError::attributeUnsupported);
    }

    xcb_window_t w = *windowOf(element);
    if (name == "AXPosition" || name == "AXSize") {
        // The hot path of a drag: two round trips, the frame's requests telling whether it exists.
        auto origin = primaryOrigin(*conn, deadline);
        if (!origin) return fail(AXError::cannotComplete);
        auto f = q.frame(w);
        if (!f) return fail(conn->broken() || Clock::now() >= deadline ? AXError::cannotComplete : AXError::invalidUIElement);
        if (name == "AXSize") return ok(Size{f->width, f->height});
        return ok(Point{f->x - origin->first, f->y - origin->second});
    }
    // Every other window attribute first proves the window still exists.
    Wait outcome = Wait::error;
    auto attrs = conn->await<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(conn->get(), w), deadline,
                                                               &outcome);
    if (!attrs) return fail(errorOf(outcome));

    if (name == "AXRole") return ok("AXWindow");
    if (name == "AXWindow") return ok(element);
    if (name == "AXParent") {
        auto pid = q.pid(w);
        if (!pid) return fail(AXError::noValue);
        return ok(application(*pid));
    }
    if (name == "AXSubrole") {
        switch (q.type(w)) {
            case WindowType::normal: {
                const auto states = q.states(w);
                bool modal = std::find(states.begin(), states.end(), conn->atoms().netWmStateModal) != states.end();
                return ok(q.isTransient(w) || modal ? "AXDialog" : "AXStandardWindow");
            }
            case WindowType::dialog: return ok("AXDialog");
            case WindowType::utility:
            case WindowType::toolbar:
            case WindowType::menu: return ok("AXFloatingWindow");
            case WindowType::splash:
            case WindowType::desktop:
            case WindowType::dock:
            case WindowType::other: return ok("AXUnknown");
        }
    }
    if (name == "AXMinimized") {
        const auto states = q.states(w);
        bool hidden = std::find(states.begin(), states.end(), conn->atoms().netWmStateHidden) != states.end();
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
    const Atoms& a = conn->atoms();
    WindowQueries q(*conn, deadline);
    Wait outcome = Wait::error;
    auto geometry = conn->await<xcb_get_geometry_reply_t>(xcb_get_geometry(conn->get(), w), deadline, &outcome);
    if (!geometry) return errorOf(outcome);
    auto origin = primaryOrigin(*conn, deadline);
    if (!origin) return AXError::cannotComplete;
    bool managed = q.windowManagerRunning();

    if (managed) {
        // A maximised window keeps its place; un-maximise it and wait until the manager did.
        auto states = q.states(w);
        auto isMax = [&](xcb_atom_t s) { return s == a.netWmStateMaxVert || s == a.netWmStateMaxHorz; };
        if (std::any_of(states.begin(), states.end(), isMax)) {
            sendRootMessage(*conn, w, a.netWmState, {stateRemove, a.netWmStateMaxVert, a.netWmStateMaxHorz, sourcePager, 0});
            for (;;) {
                states = q.states(w);
                if (std::none_of(states.begin(), states.end(), isMax)) break;
                if (Clock::now() >= deadline || conn->broken()) return AXError::cannotComplete;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            // The manager sets the new extents a moment after the state: wait until they hold
            // still for a while (bounded), so the size below is computed against the right frame.
            Extents last = q.extents(w);
            auto same = [](const Extents& x, const Extents& y) {
                return x.left == y.left && x.right == y.right && x.top == y.top && x.bottom == y.bottom;
            };
            Deadline settle = std::min(deadline, deadlineIn(0.1));
            Clock::time_point stableSince = Clock::now();
            while (Clock::now() < settle && Clock::now() - stableSince < std::chrono::milliseconds(20)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                Extents now = q.extents(w);
                if (!same(now, last)) stableSince = Clock::now();
                last = now;
            }
        }
    }
    Extents e;
    int bw = 0;
    if (!q.frame(w, &e, &bw)) return AXError::invalidUIElement;

    int error = AXError::success;
    std::uint32_t flags = 0;
    std::int32_t fx = 0, fy = 0;
    int cw = 0, ch = 0;
    if (position) {
        fx = static_cast<std::int32_t>(std::lround(position->x)) + origin->first;
        fy = static_cast<std::int32_t>(std::lround(position->y)) + origin->second;
        flags |= moveX | moveY;
    }
    if (size) {
        int wantW = static_cast<int>(std::lround(size->width)) - e.left - e.right - 2 * bw;
        int wantH = static_cast<int>(std::lround(size->height)) - e.top - e.bottom - 2 * bw;
        SizeHints hints;
        if (auto v = conn->property32(w, a.wmNormalHints, deadline)) hints = SizeHints::fromProperty(*v);
        auto [gotW, gotH] = hints.constrain(std::max(1, wantW), std::max(1, wantH));
        if (gotW != wantW || gotH != wantH) error = AXError::cannotComplete;  // the closest it accepts
        cw = gotW;
        ch = gotH;
        flags |= moveW | moveH;
    }

    xcb_void_cookie_t cookie;
    if (managed) {
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = a.netMoveresizeWindow;
        ev.data.data32[0] = gravityNorthWest | flags | (sourcePager << 12);
        ev.data.data32[1] = static_cast<std::uint32_t>(fx);
        ev.data.data32[2] = static_cast<std::uint32_t>(fy);
        ev.data.data32[3] = static_cast<std::uint32_t>(cw);
        ev.data.data32[4] = static_cast<std::uint32_t>(ch);
        cookie = xcb_send_event_checked(conn->get(), 0, conn->root(),
                                        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                        reinterpret_cast<const char*>(&ev));
    } else {
        // No manager: the window is its own frame and is configured directly.
        std::uint16_t mask = 0;
        std::uint32_t values[4];
        int n = 0;
        if (position) {
            mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
            values[n++] = static_cast<std::uint32_t>(fx);
            values[n++] = static_cast<std::uint32_t>(fy);
        }
        if (size) {
            mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
            values[n++] = static_cast<std::uint32_t>(cw);
            values[n++] = static_cast<std::uint32_t>(ch);
        }
        cookie = xcb_configure_window_checked(conn->get(), w, mask, values);
    }
    if (!conn->check(cookie, deadline)) return conn->broken() || Clock::now() >= deadline ? AXError::cannotComplete
                                                                                            : AXError::invalidUIElement;
    return error;
}

}  // namespace marrowick::x11
