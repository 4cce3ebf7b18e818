#include "platform/x11/x11_screens.h"

#include <xcb/randr.h>

#include <algorithm>

#include "geometry/geometry.h"
#include "platform/x11/edid_uuid.h"
#include "platform/x11/event_watch.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_scale.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

namespace {

constexpr double requestTimeout = 0.5;

struct Box {
    int x0, y0, x1, y1;  // half-open, root coordinates
};

// What the docks' struts leave of a monitor. Struts are measured from the root window's edges.
Box visibleBox(const Monitor& m, const std::vector<std::vector<std::uint32_t>>& struts, int rootW, int rootH) {
    Box b{m.x, m.y, m.x + m.width, m.y + m.height};
    auto overlaps = [](int a0, int a1, std::uint32_t s, std::uint32_t e) {
        return static_cast<long>(s) < a1 && static_cast<long>(e) >= a0;
    };
    for (const auto& s : struts) {
        // _NET_WM_STRUT_PARTIAL: left, right, top, bottom, then start/end of each; a plain
        // _NET_WM_STRUT spans the whole edge.
        bool partial = s.size() >= 12;
        auto start = [&](std::size_t i) { return partial ? s[4 + 2 * i] : 0u; };
        auto end = [&](std::size_t i) { return partial ? s[5 + 2 * i] : 0xffffu; };
        long left = s[0], right = s[1], top = s[2], bottom = s[3];
        if (left > 0 && left > m.x && overlaps(m.y, m.y + m.height, start(0), end(0)))
            b.x0 = std::max<int>(b.x0, static_cast<int>(std::min<long>(left, m.x + m.width)));
        if (right > 0 && rootW - right < m.x + m.width && overlaps(m.y, m.y + m.height, start(1), end(1)))
            b.x1 = std::min<int>(b.x1, static_cast<int>(std::max<long>(rootW - right, m.x)));
        if (top > 0 && top > m.y && overlaps(m.x, m.x + m.width, start(2), end(2)))
            b.y0 = std::max<int>(b.y0, static_cast<int>(std::min<long>(top, m.y + m.height)));
        if (bottom > 0 && rootH - bottom < m.y + m.height && overlaps(m.x, m.x + m.width, start(3), end(3)))
            b.y1 = std::min<int>(b.y1, static_cast<int>(std::max<long>(rootH - bottom, m.y)));
    }
    if (b.x1 < b.x0) b.x1 = b.x0;
    if (b.y1 < b.y0) b.y1 = b.y0;
    return b;
}

}  // namespace

X11Screens::X11Screens(std::unique_ptr<Connection> conn) : conn_(std::move(conn)) {
    xcb_connection_t* c = conn_->get();
    if (const auto* ext = xcb_get_extension_data(c, &xcb_randr_id); ext && ext->present) {
        randrEvent_ = ext->first_event;
        xcb_randr_select_input(c, conn_->root(),
                               XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                   XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_PROPERTY);
    }
    // The work area changes when docks come, go or change their struts; the scale with the
    // resources (Xft.dpi).
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, conn_->root(), XCB_CW_EVENT_MASK, &mask);
    refreshTimer_.setSingleShot(true);
    QObject::connect(&refreshTimer_, &QTimer::timeout, [this] {
        lastRefresh_ = Clock::now();
        refresh();
        drain();  // what came in while refreshing waits in the queue, where the notifier does not see it
    });
    refresh();
    lastRefresh_ = Clock::now();
    notifier_ = watchEvents(conn_->fd(), [this] { drain(); });
}

X11Screens::~X11Screens() = default;

void X11Screens::drain() {
    bool dirty = false;
    while (XPtr<xcb_generic_event_t> ev{xcb_poll_for_event(conn_->get())}) {
        const std::uint8_t type = eventType(*ev);
        if (randrEvent_ &&
            (type == randrEvent_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == randrEvent_ + XCB_RANDR_NOTIFY))
            dirty = true;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(ev.get());
            if (p->atom == conn_->atoms().netWorkarea || p->atom == XCB_ATOM_RESOURCE_MANAGER) dirty = true;
        }
    }
    if (conn_->broken()) {
        notifier_->setEnabled(false);  // the server is gone: keep the last list
        refreshTimer_.stop();
        return;
    }
    if (dirty) refreshSoon();
}

void X11Screens::refreshSoon() {
    if (refreshTimer_.isActive()) return;  // that refresh reads this change too
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
        lastRefresh_ + std::chrono::milliseconds(refreshIntervalMs) - Clock::now());
    refreshTimer_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())));
}

bool X11Screens::refresh() {
    Deadline deadline = deadlineIn(requestTimeout);
    auto monitors = queryMonitors(*conn_, deadline);
    if (!monitors) return false;
    xcb_connection_t* c = conn_->get();
    const Atoms& a = conn_->atoms();

    auto rootGeometry = conn_->await<xcb_get_geometry_reply_t>(xcb_get_geometry(c, conn_->root()), deadline);
    int rootW = rootGeometry ? rootGeometry->width : 0, rootH = rootGeometry ? rootGeometry->height : 0;

    WindowQueries q(*conn_, deadline);
    std::vector<std::vector<std::uint32_t>> struts;
    for (xcb_window_t w : q.clients()) {
        auto s = conn_->property32(w, a.netWmStrutPartial, deadline);
        if (!s || s->size() < 12) s = conn_->property32(w, a.netWmStrut, deadline);
        if (s && s->size() >= 4) struts.push_back(*s);
    }
    // Where no client states struts, the manager's work area is all there is.
    std::optional<Box> workarea;
    if (struts.empty()) {
        auto desktop = conn_->property32(conn_->root(), a.netCurrentDesktop, deadline);
        auto area = conn_->property32(conn_->root(), a.netWorkarea, deadline);
        std::size_t d = desktop && !desktop->empty() ? (*desktop)[0] : 0;
        if (area && area->size() >= 4 * (d + 1)) {
            const auto* v = area->data() + 4 * d;
            workarea = Box{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                           static_cast<int>(v[1] + v[3])};
        }
    }

    auto rect = [](const Box& b) {
        return Rect{static_cast<double>(b.x0), static_cast<double>(b.y0), static_cast<double>(b.x1 - b.x0),
                    static_cast<double>(b.y1 - b.y0)};
    };

    const ScaleSettings scales = ScaleSettings::fromEnvironment(readXftDpi(*conn_, deadline));

    std::vector<Screen> list;
    std::map<std::uint32_t, std::optional<std::string>> uuids;
    for (const Monitor& m : *monitors) {
        Box full{m.x, m.y, m.x + m.width, m.y + m.height};
        Box visible = visibleBox(m, struts, rootW, rootH);
        if (workarea) {
            visible = {std::max(full.x0, workarea->x0), std::max(full.y0, workarea->y0),
                       std::min(full.x1, workarea->x1), std::min(full.y1, workarea->y1)};
            if (visible.x1 < visible.x0 || visible.y1 < visible.y0) visible = {full.x0, full.y0, full.x0, full.y0};
        }
        Screen s;
        s.frame = rect(full);
        s.workArea = rect(visible);
        s.name = m.name;
        s.scale = monitorScale(scales, m.name, list.size());
        if (!m.outputs.empty()) {
            std::uint32_t output = m.outputs.front();
            s.displayId = output;
            auto info = conn_->await<xcb_randr_get_output_info_reply_t>(
                xcb_randr_get_output_info(c, output, XCB_CURRENT_TIME), deadline);
            std::string connector;
            if (info) {
                connector.assign(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                                 static_cast<std::size_t>(xcb_randr_get_output_info_name_length(info.get())));
            }
            auto edid = conn_->await<xcb_randr_get_output_property_reply_t>(
                xcb_randr_get_output_property(c, output, a.edid, XCB_GET_PROPERTY_TYPE_ANY, 0, 256, 0, 0), deadline);
            std::optional<std::string> uuid;
            if (edid && edid->format == 8) {
                std::string bytes(reinterpret_cast<const char*>(xcb_randr_get_output_property_data(edid.get())),
                                  static_cast<std::size_t>(xcb_randr_get_output_property_data_length(edid.get())));
                uuid = uuidFromEdid(bytes, connector);
            }
            uuids[output] = uuid;
        }
        list.push_back(std::move(s));
    }
    bool keysChanged = uuids != uuids_;
    uuids_ = std::move(uuids);
    if (list == screens_ && !keysChanged) return false;
    screens_ = std::move(list);
    handlers_.call();
    return true;
}

std::optional<std::string> X11Screens::uuidText(std::uint32_t displayId) const {
    auto it = uuids_.find(displayId);
    return it == uuids_.end() ? std::nullopt : it->second;
}

double X11Screens::scaleAt(const Rect& r) const {
    const Point centre{r.x + r.width / 2, r.y + r.height / 2};
    for (const Screen& s : screens_) {
        if (mouseInRect(centre, s.frame)) return s.scale;
    }
    return 1;
}

Subscription X11Screens::addChangedHandler(std::function<void()> handler) { return handlers_.add(std::move(handler)); }

bool X11Screens::compositing() const {
    if (compositingUntil_ && Clock::now() < *compositingUntil_) return compositing_;
    auto reply = conn_->await<xcb_get_selection_owner_reply_t>(
        xcb_get_selection_owner(conn_->get(), conn_->atoms().netWmCmS0), deadlineIn(0.1));
    compositing_ = reply && reply->owner != XCB_NONE;
    compositingUntil_ = deadlineIn(1.0);
    return compositing_;
}

}  // namespace marrowick::x11
