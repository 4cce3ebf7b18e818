#include "platform/x11/x11_monitors.h"

#include <xcb/randr.h>

#include <algorithm>

namespace marrowick::x11 {

std::optional<std::vector<Monitor>> queryMonitors(Connection& conn, Deadline deadline, bool withNames) {
    xcb_connection_t* c = conn.get();
    auto geometryCookie = xcb_get_geometry(c, conn.root());
    auto monitorsCookie = xcb_randr_get_monitors(c, conn.root(), 1);
    auto geometry = conn.await<xcb_get_geometry_reply_t>(geometryCookie, deadline);
    Wait outcome = Wait::error;
    auto reply = conn.await<xcb_randr_get_monitors_reply_t>(monitorsCookie, deadline, &outcome);
    if (!geometry || outcome == Wait::timeout || outcome == Wait::broken) return std::nullopt;

    std::vector<Monitor> out;
    std::vector<xcb_atom_t> names;
    if (reply) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
             xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t* m = it.data;
            if (m->width == 0 || m->height == 0) continue;
            Monitor mon;
            mon.primary = m->primary != 0;
            mon.x = m->x;
            mon.y = m->y;
            mon.width = m->width;
            mon.height = m->height;
            const xcb_randr_output_t* outputs = xcb_randr_monitor_info_outputs(m);
            mon.outputs.assign(outputs, outputs + xcb_randr_monitor_info_outputs_length(m));
            out.push_back(std::move(mon));
            names.push_back(m->name);
        }
    }
    if (out.empty()) {
        out.push_back(Monitor{"screen", true, 0, 0, geometry->width, geometry->height, {}});
        return out;
    }
    if (!withNames) names.clear();
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    cookies.reserve(names.size());
    for (xcb_atom_t a : names) cookies.push_back(xcb_get_atom_name(c, a));
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        auto n = conn.await<xcb_get_atom_name_reply_t>(cookies[i], deadline);
        if (n) {
            out[i].name.assign(xcb_get_atom_name_name(n.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(n.get())));
        }
    }
    std::stable_partition(out.begin(), out.end(), [](const Monitor& m) { return m.primary; });
    return out;
}

}  // namespace marrowick::x11
