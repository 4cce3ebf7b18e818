#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/rect.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

enum class WindowType { normal, dialog, utility, toolbar, splash, desktop, dock, menu, other };

struct Extents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Questions about client windows (the ones with WM_STATE) on one connection, all bounded by one
// deadline. A window that is gone, or a property that is missing or malformed, answers none.
class WindowQueries {
public:
    WindowQueries(Connection& conn, Deadline deadline) : conn_(conn), deadline_(deadline) {}

    [[nodiscard]] Connection& connection() const { return conn_; }
    [[nodiscard]] Deadline deadline() const { return deadline_; }

    // Whether an EWMH window manager runs (its check window exists and points at itself).
    bool windowManagerRunning();
    // The managed windows in the manager's order; without one, the top-level clients in stacking order.
    std::vector<xcb_window_t> clients();
    // The client window of a top-level window: itself or the first in its subtree with WM_STATE.
    std::optional<xcb_window_t> clientOf(xcb_window_t topLevel);
    std::optional<std::uint32_t> wmState(xcb_window_t w);
    // _NET_WM_PID, else what the X-Resource extension knows of the window's client.
    std::optional<int> pid(xcb_window_t w);
    std::vector<std::optional<int>> pids(const std::vector<xcb_window_t>& windows);
    WindowType type(xcb_window_t w);
    bool isTransient(xcb_window_t w);
    bool isNormal(xcb_window_t w) { return type(w) == WindowType::normal && !isTransient(w); }
    std::vector<xcb_atom_t> states(xcb_window_t w);
    Extents extents(xcb_window_t w);
    // The frame including decorations in root coordinates; none when the window is gone.
    std::optional<Rect> frame(xcb_window_t w, Extents* extentsOut = nullptr, int* borderOut = nullptr);
    std::optional<std::string> title(xcb_window_t w);
    // The child of root at a root position, honouring input shapes.
    std::optional<xcb_window_t> topLevelAt(int rx, int ry);
    // The child of root that holds w (the frame a window manager put around it, or w itself);
    // none when w is gone.
    std::optional<xcb_window_t> topLevelOf(xcb_window_t w);

private:
    Connection& conn_;
    Deadline deadline_;
};

// WM_NORMAL_HINTS applied to a client size: the closest size the window accepts.
struct SizeHints {
    int minW = 1, minH = 1, maxW = 0, maxH = 0, incW = 1, incH = 1, baseW = 0, baseH = 0;
    static SizeHints fromProperty(const std::vector<std::uint32_t>& values);
    [[nodiscard]] std::pair<int, int> constrain(int w, int h) const;
};

}  // namespace marrowick::x11
