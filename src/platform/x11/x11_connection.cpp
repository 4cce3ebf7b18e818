#include "platform/x11/x11_connection.h"

#include <poll.h>
#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <cstring>
#include <utility>

namespace marrowick::x11 {

std::string defaultDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d && *d ? d : ":0";
}

Connection::Connection(xcb_connection_t* c, std::string display) : c_(c), display_(std::move(display)) {}

Connection::~Connection() { xcb_disconnect(c_); }

std::unique_ptr<Connection> Connection::open(const std::string& display, double timeoutSeconds) {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(display.c_str(), &screenNumber);
    if (!c) return nullptr;
    // Wrapped at once so that every failure below disconnects.
    std::unique_ptr<Connection> conn(new Connection(c, display));
    if (conn->broken()) return nullptr;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) return nullptr;
    conn->root_ = it.data->root;

    Atoms& a = conn->atoms_;
    const std::pair<xcb_atom_t*, const char*> names[] = {
        {&a.wmState, "WM_STATE"},
        {&a.wmTransientFor, "WM_TRANSIENT_FOR"},
        {&a.wmNormalHints, "WM_NORMAL_HINTS"},
        {&a.wmName, "WM_NAME"},
        {&a.utf8String, "UTF8_STRING"},
        {&a.netSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK"},
        {&a.netClientList, "_NET_CLIENT_LIST"},
        {&a.netWmPid, "_NET_WM_PID"},
        {&a.netWmName, "_NET_WM_NAME"},
        {&a.netFrameExtents, "_NET_FRAME_EXTENTS"},
        {&a.netWmWindowType, "_NET_WM_WINDOW_TYPE"},
        {&a.netWmState, "_NET_WM_STATE"},
        {&a.netMoveresizeWindow, "_NET_MOVERESIZE_WINDOW"},
        {&a.netWorkarea, "_NET_WORKAREA"},
        {&a.netCurrentDesktop, "_NET_CURRENT_DESKTOP"},
        {&a.netWmStrut, "_NET_WM_STRUT"},
        {&a.netWmStrutPartial, "_NET_WM_STRUT_PARTIAL"},
        {&a.netWmStateHidden, "_NET_WM_STATE_HIDDEN"},
        {&a.netWmStateMaxVert, "_NET_WM_STATE_MAXIMIZED_VERT"},
        {&a.netWmStateMaxHorz, "_NET_WM_STATE_MAXIMIZED_HORZ"},
        {&a.netWmStateModal, "_NET_WM_STATE_MODAL"},
        {&a.typeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
        {&a.typeDialog, "_NET_WM_WINDOW_TYPE_DIALOG"},
        {&a.typeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
        {&a.typeToolbar, "_NET_WM_WINDOW_TYPE_TOOLBAR"},
        {&a.typeSplash, "_NET_WM_WINDOW_TYPE_SPLASH"},
        {&a.typeDesktop, "_NET_WM_WINDOW_TYPE_DESKTOP"},
        {&a.typeDock, "_NET_WM_WINDOW_TYPE_DOCK"},
        {&a.typeMenu, "_NET_WM_WINDOW_TYPE_MENU"},
        {&a.edid, "EDID"},
        {&a.netWmCmS0, "_NET_WM_CM_S0"},
    };
    // Announces the RandR version whose monitors every service reads.
    auto randrVersion = xcb_randr_query_version(c, 1, 5);
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const auto& [slot, name] : names)
        cookies.push_back(xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    Deadline deadline = deadlineIn(timeoutSeconds);
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        auto r = conn->await<xcb_intern_atom_reply_t>(cookies[i], deadline);
        if (!r) return nullptr;
        *names[i].first = r->atom;
    }
    (void)conn->await<xcb_randr_query_version_reply_t>(randrVersion, deadline);
    return conn;
}

Wait Connection::wait(unsigned sequence, Deadline deadline, void** reply, int* errorCode) {
    *reply = nullptr;
    if (broken()) return Wait::broken;
    xcb_flush(c_);
    for (;;) {
        xcb_generic_error_t* raw = nullptr;
        if (xcb_poll_for_reply(c_, sequence, reply, &raw)) {
            const XPtr<xcb_generic_error_t> e(raw);
            if (broken()) return Wait::broken;
            if (e) {
                if (errorCode) *errorCode = e->error_code;
                return Wait::error;
            }
            return *reply ? Wait::reply : Wait::error;
        }
        if (broken()) return Wait::broken;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            xcb_discard_reply(c_, sequence);
            return Wait::timeout;
        }
        pollfd p{fd(), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
}

bool Connection::check(xcb_void_cookie_t cookie, Deadline deadline, int* errorCode) {
    // A void request is known to be done once a later reply has come.
    auto sync = await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(c_), deadline);
    if (!sync) return false;
    void* rawReply = nullptr;
    xcb_generic_error_t* rawError = nullptr;
    if (!xcb_poll_for_reply(c_, cookie.sequence, &rawReply, &rawError)) return false;
    const XPtr<void> r(rawReply);
    const XPtr<xcb_generic_error_t> e(rawError);
    if (e) {
        if (errorCode) *errorCode = e->error_code;
        return false;
    }
    return !broken();
}

std::optional<std::vector<std::uint32_t>> Connection::property32(xcb_window_t w, xcb_atom_t name, Deadline deadline,
                                                                 Wait* outcome) {
    auto r = await<xcb_get_property_reply_t>(xcb_get_property(c_, 0, w, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
                                             deadline, outcome);
    if (!r || r->format != 32 || r->type == XCB_NONE) return std::nullopt;
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
    int n = xcb_get_property_value_length(r.get()) / 4;
    return std::vector<std::uint32_t>(data, data + n);
}

std::optional<std::string> Connection::property8(xcb_window_t w, xcb_atom_t name, Deadline deadline) {
    auto r =
        await<xcb_get_property_reply_t>(xcb_get_property(c_, 0, w, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), deadline);
    if (!r || r->format != 8 || r->type == XCB_NONE) return std::nullopt;
    const auto* data = static_cast<const char*>(xcb_get_property_value(r.get()));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(r.get())));
}

std::string Connection::atomName(xcb_atom_t atom, Deadline deadline) {
    auto r = await<xcb_get_atom_name_reply_t>(xcb_get_atom_name(c_, atom), deadline);
    if (!r) return {};
    return std::string(xcb_get_atom_name_name(r.get()),
                       static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get())));
}

}  // namespace marrowick::x11
