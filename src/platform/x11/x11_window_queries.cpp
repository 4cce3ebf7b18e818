#include "platform/x11/x11_window_queries.h"

#include <xcb/res.h>

#include <algorithm>
#include <deque>

namespace marrowick::x11 {

namespace {
constexpr std::size_t subtreeLimit = 256;  // windows searched below a frame for its client
}

bool WindowQueries::windowManagerRunning() {
    const Atoms& a = conn_.atoms();
    auto check = conn_.property32(conn_.root(), a.netSupportingWmCheck, deadline_);
    if (!check || check->empty() || (*check)[0] == XCB_NONE) return false;
    auto self = conn_.property32((*check)[0], a.netSupportingWmCheck, deadline_);
    return self && !self->empty() && (*self)[0] == (*check)[0];
}

std::vector<xcb_window_t> WindowQueries::clients() {
    if (windowManagerRunning()) {
        auto list = conn_.property32(conn_.root(), conn_.atoms().netClientList, deadline_);
        if (list) return *list;
    }
    std::vector<xcb_window_t> out;
    auto tree = conn_.await<xcb_query_tree_reply_t>(xcb_query_tree(conn_.get(), conn_.root()), deadline_);
    if (!tree) return out;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    int n = xcb_query_tree_children_length(tree.get());
    // Bottom to top; the manager's list is in mapping order, which is close enough.
    for (int i = 0; i < n; ++i)
        if (auto client = clientOf(children[i])) out.push_back(*client);
    return out;
}

std::optional<std::uint32_t> WindowQueries::wmState(xcb_window_t w) {
    auto v = conn_.property32(w, conn_.atoms().wmState, deadline_);
    if (!v || v->empty()) return std::nullopt;
    return (*v)[0];
}

std::optional<xcb_window_t> WindowQueries::clientOf(xcb_window_t topLevel) {
    std::deque<xcb_window_t> queue{topLevel};
    std::size_t seen = 0;
    while (!queue.empty() && seen++ < subtreeLimit) {
        xcb_window_t w = queue.front();
        queue.pop_front();
        if (wmState(w)) return w;
        auto tree = conn_.await<xcb_query_tree_reply_t>(xcb_query_tree(conn_.get(), w), deadline_);
        if (!tree) continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        int n = xcb_query_tree_children_length(tree.get());
        // Topmost first: the client usually is the last child of its frame.
        for (int i = n - 1; i >= 0; --i) queue.push_back(children[i]);
    }
    // Without a manager nobody sets WM_STATE: a mapped top-level that is not an override-redirect
    // window is a client then.
    if (windowManagerRunning()) return std::nullopt;
    auto attrs =
        conn_.await<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(conn_.get(), topLevel), deadline_);
    if (!attrs || attrs->override_redirect || attrs->map_state != XCB_MAP_STATE_VIEWABLE ||
        attrs->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT)
        return std::nullopt;
    return topLevel;
}

std::optional<int> WindowQueries::pid(xcb_window_t w) { return pids({w}).front(); }

std::vector<std::optional<int>> WindowQueries::pids(const std::vector<xcb_window_t>& windows) {
    xcb_connection_t* c = conn_.get();
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows)
        cookies.push_back(xcb_get_property(c, 0, w, conn_.atoms().netWmPid, XCB_ATOM_CARDINAL, 0, 1));
    std::vector<std::optional<int>> out(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        auto r = conn_.await<xcb_get_property_reply_t>(cookies[i], deadline_);
        if (r && r->format == 32 && xcb_get_property_value_length(r.get()) >= 4) {
            auto v = *static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
            if (v > 0 && v < 0x7fffffff) out[i] = static_cast<int>(v);
        }
    }
    // Clients that set no pid: ask the server which process owns the window's client.
    std::vector<std::pair<std::size_t, xcb_res_query_client_ids_cookie_t>> res;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (out[i]) continue;
        xcb_res_client_id_spec_t wanted{windows[i], XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        res.emplace_back(i, xcb_res_query_client_ids(c, 1, &wanted));
    }
    for (auto& [i, cookie] : res) {
        auto r = conn_.await<xcb_res_query_client_ids_reply_t>(cookie, deadline_);
        if (!r) continue;
        for (auto it = xcb_res_query_client_ids_ids_iterator(r.get()); it.rem; xcb_res_client_id_value_next(&it)) {
            // A value starts with the id it answers.
            const auto* id = reinterpret_cast<const xcb_res_client_id_spec_t*>(it.data);
            if (!(id->mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID)) continue;
            if (xcb_res_client_id_value_value_length(it.data) < 1) continue;
            auto v = *xcb_res_client_id_value_value(it.data);
            if (v > 0 && v < 0x7fffffff) out[i] = static_cast<int>(v);
        }
    }
    return out;
}

WindowType WindowQueries::type(xcb_window_t w) {
    const Atoms& a = conn_.atoms();
    auto types = conn_.property32(w, a.netWmWindowType, deadline_);
    if (!types || types->empty()) return WindowType::normal;  // EWMH: no type is a normal window
    // The first type this code knows wins, as the list is in order of preference.
    for (std::uint32_t t : *types) {
        if (t == a.typeNormal) return WindowType::normal;
        if (t == a.typeDialog) return WindowType::dialog;
        if (t == a.typeUtility) return WindowType::utility;
        if (t == a.typeToolbar) return WindowType::toolbar;
        if (t == a.typeSplash) return WindowType::splash;
        if (t == a.typeDesktop) return WindowType::desktop;
        if (t == a.typeDock) return WindowType::dock;
        if (t == a.typeMenu) return WindowType::menu;
    }
    return WindowType::other;
}

bool WindowQueries::isTransient(xcb_window_t w) {
    auto v = conn_.property32(w, conn_.atoms().wmTransientFor, deadline_);
    return v && !v->empty() && (*v)[0] != XCB_NONE;
}

std::vector<xcb_atom_t> WindowQueries::states(xcb_window_t w) {
    auto v = conn_.property32(w, conn_.atoms().netWmState, deadline_);
    return v ? *v : std::vector<xcb_atom_t>{};
}

Extents WindowQueries::extents(xcb_window_t w) {
    auto v = conn_.property32(w, conn_.atoms().netFrameExtents, deadline_);
    if (!v || v->size() < 4) return {};
    auto sane = [](std::uint32_t e) { return e < 10000 ? static_cast<int>(e) : 0; };
    return {sane((*v)[0]), sane((*v)[1]), sane((*v)[2]), sane((*v)[3])};
}

std::optional<Rect> WindowQueries::frame(xcb_window_t w, Extents* extentsOut, int* borderOut) {
    xcb_connection_t* c = conn_.get();
    // Three requests in flight at once: one round trip.
    auto geometryCookie = xcb_get_geometry(c, w);
    auto translateCookie = xcb_translate_coordinates(c, w, conn_.root(), 0, 0);
    auto extentsCookie = xcb_get_property(c, 0, w, conn_.atoms().netFrameExtents, XCB_ATOM_CARDINAL, 0, 4);
    auto geometry = conn_.await<xcb_get_geometry_reply_t>(geometryCookie, deadline_);
    auto origin = conn_.await<xcb_translate_coordinates_reply_t>(translateCookie, deadline_);
    auto ext = conn_.await<xcb_get_property_reply_t>(extentsCookie, deadline_);
    if (!geometry || !origin) return std::nullopt;
    Extents e;
    if (ext && ext->format == 32 && xcb_get_property_value_length(ext.get()) >= 16) {
        const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(ext.get()));
        auto sane = [](std::uint32_t x) { return x < 10000 ? static_cast<int>(x) : 0; };
        e = {sane(v[0]), sane(v[1]), sane(v[2]), sane(v[3])};
    }
    if (extentsOut) *extentsOut = e;
    int bw = geometry->border_width;
    if (borderOut) *borderOut = bw;
    return Rect{static_cast<double>(origin->dst_x - bw - e.left), static_cast<double>(origin->dst_y - bw - e.top),
                static_cast<double>(geometry->width + 2 * bw + e.left + e.right),
                static_cast<double>(geometry->height + 2 * bw + e.top + e.bottom)};
}

std::optional<std::string> WindowQueries::title(xcb_window_t w) {
    if (auto t = conn_.property8(w, conn_.atoms().netWmName, deadline_)) return t;
    return conn_.property8(w, conn_.atoms().wmName, deadline_);
}

std::optional<xcb_window_t> WindowQueries::topLevelAt(int rx, int ry) {
    auto r = conn_.await<xcb_translate_coordinates_reply_t>(
        xcb_translate_coordinates(conn_.get(), conn_.root(), conn_.root(), static_cast<std::int16_t>(rx),
                                  static_cast<std::int16_t>(ry)),
        deadline_);
    if (!r || r->child == XCB_NONE) return std::nullopt;
    return r->child;
}

std::optional<xcb_window_t> WindowQueries::topLevelOf(xcb_window_t w) {
    // A frame holds its client a level or two down; the limit only guards against a loop.
    for (std::size_t depth = 0; depth < subtreeLimit; ++depth) {
        auto tree = conn_.await<xcb_query_tree_reply_t>(xcb_query_tree(conn_.get(), w), deadline_);
        if (!tree) return std::nullopt;
        if (tree->parent == conn_.root() || tree->parent == XCB_NONE) return w;
        w = tree->parent;
    }
    return std::nullopt;
}

SizeHints SizeHints::fromProperty(const std::vector<std::uint32_t>& v) {
    SizeHints h;
    if (v.size() < 15) return h;
    auto flags = v[0];
    auto get = [&](std::size_t i) { return static_cast<int>(std::min<std::uint32_t>(v[i], 1u << 15)); };
    bool hasMin = flags & 16, hasMax = flags & 32, hasInc = flags & 64, hasBase = (flags & 256) && v.size() >= 17;
    if (hasBase) {
        h.baseW = get(15);
        h.baseH = get(16);
    } else if (hasMin) {
        h.baseW = get(5);
        h.baseH = get(6);
    }
    if (hasMin) {
        h.minW = std::max(1, get(5));
        h.minH = std::max(1, get(6));
    } else if (hasBase) {
        h.minW = std::max(1, h.baseW);
        h.minH = std::max(1, h.baseH);
    }
    if (hasMax) {
        h.maxW = get(7);
        h.maxH = get(8);
    }
    if (hasInc) {
        h.incW = std::max(1, get(9));
        h.incH = std::max(1, get(10));
    }
    return h;
}

std::pair<int, int> SizeHints::constrain(int w, int h) const {
    auto one = [](int size, int min, int max, int inc, int base) {
        size = std::max(size, min);
        if (max > 0) size = std::min(size, std::max(max, min));
        if (inc > 1 && size > base) {
            size = base + (size - base) / inc * inc;
            if (size < min) size += inc;
        }
        return size;
    };
    return {one(w, minW, maxW, incW, baseW), one(h, minH, maxH, incH, baseH)};
}

}  // namespace marrowick::x11
