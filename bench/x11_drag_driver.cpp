// Drives one drag on a real X display and measures what it cost: presses the left button with
// XTest, sends N relative XTest motions at a steady rate along a path of waypoints, waits for the
// work to settle, releases the button, and watches the root window's children meanwhile. Prints
// one "name: value" line per figure. bench/x11_drag.sh runs it; alone:
//
//   marrowick_x11_drag_driver --events 2000 --rate 500 --via 573,400 --via 2866,400
//     --via 573,400 --pid <marrowick> --server-pid <Xvfb> --window <client window>
//     --tile-edges 0,1147,2293,3440
//
// The modifier keys are the caller's (xdotool keydown alt before, keyup after).
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-no-malloc)
};
template <class T>
using XPtr = std::unique_ptr<T, FreeDeleter>;

struct Options {
    int events = 2000;
    double rate = 500;
    std::vector<std::pair<int, int>> via;
    int pid = 0;
    int serverPid = 0;
    xcb_window_t window = 0;
    std::vector<int> tileEdges;  // root x of the tiles' edges along the path, ascending
    double settle = 0.3;         // seconds after the last motion before the CPU is read
    double watch = 1.0;          // seconds to watch the window's frame after the release
};

// User plus system CPU seconds of a process, from /proc/PID/stat.
std::optional<double> cpuSeconds(int pid) {
    if (pid <= 0) return std::nullopt;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    const auto close = line.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i < 14; ++i) rest >> field;
    long long utime = 0;
    long long stime = 0;
    rest >> utime >> stime;
    if (!rest) return std::nullopt;
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::vector<int> numbers(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) out.push_back(std::stoi(part));
    return out;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--events") {
            o.events = std::stoi(value);
        } else if (name == "--rate") {
            o.rate = std::stod(value);
        } else if (name == "--via") {
            auto xy = numbers(value);
            if (xy.size() != 2) return false;
            o.via.emplace_back(xy[0], xy[1]);
        } else if (name == "--pid") {
            o.pid = std::stoi(value);
        } else if (name == "--server-pid") {
            o.serverPid = std::stoi(value);
        } else if (name == "--window") {
            o.window = static_cast<xcb_window_t>(std::stoul(value, nullptr, 0));
        } else if (name == "--tile-edges") {
            o.tileEdges = numbers(value);
        } else if (name == "--settle") {
            o.settle = std::stod(value);
        } else {
            return false;
        }
    }
    return o.events > 0 && o.rate > 0 && !o.via.empty();
}

// A value that is no number (an empty --server-pid, say) is a usage error, not a crash.
bool parse(int argc, char** argv, Options& o) {
    try {
        return parseOptions(argc, argv, o);
    } catch (const std::exception&) {
        return false;
    }
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};

class Driver {
public:
    Driver(xcb_connection_t* c, xcb_window_t root, Options o) : c_(c), root_(root), o_(std::move(o)) {}

    int run() {
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        frame_ = topLevelOf(o_.window);
        if (frame_) frameGeometry_ = geometryOf(*frame_);
        auto start = pointer();
        if (!start) return 1;
        px_ = start->first;
        py_ = start->second;
        tile_ = tileAt(px_);

        xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c_);
        pump(Clock::now() + std::chrono::milliseconds(150));

        const auto steps = plan();
        const auto cpu0 = cpuSeconds(o_.pid);
        const auto server0 = cpuSeconds(o_.serverPid);
        const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / o_.rate));
        const auto begin = Clock::now();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            pump(begin + period * static_cast<long>(i));
            const auto [dx, dy] = steps[i];
            xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME, XCB_NONE, static_cast<std::int16_t>(dx),
                                static_cast<std::int16_t>(dy), 0);
            xcb_flush(c_);
            px_ += dx;
            py_ += dy;
            if (int t = tileAt(px_); t != tile_) {
                tile_ = t;
                entered_ = Clock::now();
                enteredEdge_ = t >= 0 ? o_.tileEdges[static_cast<std::size_t>(t)] : -1;
            }
        }
        const auto sent = Clock::now();
        pump(sent + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o_.settle)));
        const auto cpu1 = cpuSeconds(o_.pid);
        const auto server1 = cpuSeconds(o_.serverPid);

        if (frame_) frameGeometry_ = geometryOf(*frame_);
        xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c_);
        released_ = Clock::now();
        watchingFrame_ = true;
        pump(released_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o_.watch)));

        const double events = static_cast<double>(steps.size());
        const double seconds = ms(sent - begin) / 1000;
        std::printf("events: %zu\n", steps.size());
        std::printf("achieved rate: %.0f Hz\n", events / seconds);
        if (cpu0 && cpu1) {
            const double per1000 = (*cpu1 - *cpu0) / events * 1000;
            std::printf("marrowick cpu per 1000 events: %.3f s\n", per1000);
            std::printf("marrowick share of a core: %.1f %%\n", 100 * (*cpu1 - *cpu0) / (seconds + o_.settle));
        }
        if (server0 && server1)
            std::printf("x server cpu per 1000 events: %.3f s\n", (*server1 - *server0) / events * 1000);
        std::printf("outline latencies: %zu, median %.2f ms\n", outlineLatencies_.size(), median(outlineLatencies_));
        if (frame_) {
            std::printf("frame changes after release: %zu (at", frameSteps_.size());
            for (double t : frameSteps_) std::printf(" %.1f", t);
            std::printf(" ms)\n");
            std::printf("release to final frame: %.1f ms\n", frameSteps_.empty() ? NAN : frameSteps_.back());
        }
        return 0;
    }

private:
    // Relative steps of at most 3 pixels (below the server's acceleration threshold), spread
    // over the legs in proportion to their length, so the speed stays the same.
    [[nodiscard]] std::vector<std::pair<int, int>> plan() const {
        std::vector<std::pair<int, int>> points{{px_, py_}};
        points.insert(points.end(), o_.via.begin(), o_.via.end());
        double total = 0;
        for (std::size_t i = 1; i < points.size(); ++i)
            total += std::hypot(points[i].first - points[i - 1].first, points[i].second - points[i - 1].second);
        std::vector<std::pair<int, int>> steps;
        int x = px_;
        int y = py_;
        int sentSoFar = 0;
        double along = 0;
        for (std::size_t leg = 1; leg < points.size(); ++leg) {
            const auto [x0, y0] = points[leg - 1];
            const auto [x1, y1] = points[leg];
            const double length = std::hypot(x1 - x0, y1 - y0);
            along += length;
            const int end =
                leg + 1 == points.size() ? o_.events : static_cast<int>(std::lround(o_.events * along / total));
            const int n = std::max(1, end - sentSoFar);
            for (int i = 1; i <= n; ++i) {
                const int nx = x0 + static_cast<int>(std::lround((x1 - x0) * static_cast<double>(i) / n));
                const int ny = y0 + static_cast<int>(std::lround((y1 - y0) * static_cast<double>(i) / n));
                steps.emplace_back(std::clamp(nx - x, -3, 3), std::clamp(ny - y, -3, 3));
                x += steps.back().first;
                y += steps.back().second;
            }
            sentSoFar += n;
        }
        return steps;
    }

    [[nodiscard]] int tileAt(int x) const {
        for (std::size_t i = 0; i + 1 < o_.tileEdges.size(); ++i)
            if (x >= o_.tileEdges[i] && x < o_.tileEdges[i + 1]) return static_cast<int>(i);
        return -1;
    }

    std::optional<std::pair<int, int>> pointer() {
        XPtr<xcb_query_pointer_reply_t> r(xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr));
        if (!r) return std::nullopt;
        return std::pair{static_cast<int>(r->root_x), static_cast<int>(r->root_y)};
    }

    std::optional<xcb_window_t> topLevelOf(xcb_window_t w) {
        while (w != XCB_NONE) {
            XPtr<xcb_query_tree_reply_t> t(xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr));
            if (!t) return std::nullopt;
            if (t->parent == root_) return w;
            w = t->parent;
        }
        return std::nullopt;
    }

    Geometry geometryOf(xcb_window_t w) {
        XPtr<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr));
        if (!g) return {};
        return {g->x, g->y, g->width, g->height};
    }

    // Handles what the server sends until the deadline.
    void pump(Clock::time_point until) {
        for (;;) {
            while (XPtr<xcb_generic_event_t> ev{xcb_poll_for_event(c_)}) handle(*ev);
            const auto left = until - Clock::now();
            if (left <= Clock::duration::zero()) return;
            pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
            if (us > 2000) {
                ::poll(&p, 1, static_cast<int>(us / 1000 - 1));
            } else {
                // The last stretch is spun so the steady rate holds.
                if (::poll(&p, 1, 0) == 0) std::this_thread::yield();
            }
        }
    }

    void handle(const xcb_generic_event_t& ev) {
        const auto now = Clock::now();
        switch (ev.response_type & 0x7f) {
            case XCB_CONFIGURE_NOTIFY: {
                const auto& c = reinterpret_cast<const xcb_configure_notify_event_t&>(ev);
                if (c.override_redirect && entered_ && c.x == enteredEdge_) {
                    outlineLatencies_.push_back(ms(now - *entered_));
                    entered_.reset();
                }
                if (watchingFrame_ && frame_ && c.window == *frame_) {
                    const Geometry g{c.x, c.y, c.width, c.height};
                    if (!(g == frameGeometry_)) {
                        frameGeometry_ = g;
                        frameSteps_.push_back(ms(now - released_));
                    }
                }
                return;
            }
            case XCB_MAP_NOTIFY: {
                const auto& m = reinterpret_cast<const xcb_map_notify_event_t&>(ev);
                if (m.override_redirect && entered_) {
                    // A window mapped where it last was: its geometry decides.
                    if (geometryOf(m.window).x == enteredEdge_) {
                        outlineLatencies_.push_back(ms(now - *entered_));
                        entered_.reset();
                    }
                }
                return;
            }
            default:
                return;
        }
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    Options o_;
    int px_ = 0, py_ = 0;
    int tile_ = -1;
    std::optional<Clock::time_point> entered_;
    int enteredEdge_ = -1;
    std::vector<double> outlineLatencies_;
    std::optional<xcb_window_t> frame_;
    Geometry frameGeometry_;
    bool watchingFrame_ = false;
    Clock::time_point released_;
    std::vector<double> frameSteps_;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: %s --events N --rate HZ --via X,Y [--via X,Y...] [--pid P] [--server-pid P] "
                     "[--window W] [--tile-edges X,X,...] [--settle S]\n",
                     argv[0]);
        return 2;
    }
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int status = Driver(c, s->root, std::move(o)).run();
    xcb_disconnect(c);
    return status;
}
