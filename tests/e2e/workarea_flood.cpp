// Floods the root window's _NET_WORKAREA on $DISPLAY with changes at a steady rate, switching
// between the value it found and that value one pixel narrower, and meanwhile pings a local
// socket: connects, sends "ping", closes its sending side and waits for the other end to close
// (Marrowick's reopen socket drops any other request once it has read it, on its main thread).
// Ends with the value found, or with the one --final gives, then prints the ping figures:
//   changes N
//   pings N answered N slowest_ms X
//
//   workarea_flood --rate 5000 --seconds 5 [--socket PATH] [--ping-every-ms 100] [--final X,Y,W,H]

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

struct Options {
    double rate = 5000;
    double seconds = 5;
    std::string socket;
    int pingEveryMs = 100;
    std::vector<std::uint32_t> final;
};

// Milliseconds until the other end closed after the request, or a negative number when it did
// not within the limit (or could not be reached).
double ping(const std::string& path, int limitMs) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        ::close(fd);
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const auto start = Clock::now();
    double answered = -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, "ping", 4) == 4 && ::shutdown(fd, SHUT_WR) == 0) {
        const auto deadline = start + std::chrono::milliseconds(limitMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buffer[64];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                answered = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
        }
    }
    ::close(fd);
    return answered;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> r{
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr)};
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--rate") {
            o.rate = std::atof(value);
        } else if (name == "--seconds") {
            o.seconds = std::atof(value);
        } else if (name == "--socket") {
            o.socket = value;
        } else if (name == "--ping-every-ms") {
            o.pingEveryMs = std::atoi(value);
        } else if (name == "--final") {
            for (const char* p = value; *p != '\0';) {
                char* end = nullptr;
                o.final.push_back(static_cast<std::uint32_t>(std::strtoul(p, &end, 10)));
                p = *end == ',' ? end + 1 : end;
            }
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "workarea_flood: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t workarea = atom(c, "_NET_WORKAREA");
    Reply<xcb_get_property_reply_t> found{
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, workarea, XCB_ATOM_CARDINAL, 0, 1024), nullptr)};
    std::vector<std::uint32_t> original;
    if (found && found->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(found.get()));
        original.assign(data, data + xcb_get_property_value_length(found.get()) / 4);
    }
    if (original.size() < 4) original = {0, 0, 1920, 1080};
    std::vector<std::uint32_t> narrower = original;
    narrower[2] -= 1;

    std::atomic<bool> flooding{true};
    std::vector<double> pings;
    std::thread pinger([&] {
        if (o.socket.empty()) return;
        while (flooding) {
            const auto next = Clock::now() + std::chrono::milliseconds(o.pingEveryMs);
            pings.push_back(ping(o.socket, 5000));
            std::this_thread::sleep_until(next);
        }
    });

    // Sent in batches of a millisecond's worth, flushed each time, at the rate asked.
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o.seconds));
    long sent = 0;
    for (auto now = start; now < end; now = Clock::now()) {
        const auto due = static_cast<long>(std::chrono::duration<double>(now - start).count() * o.rate);
        for (; sent < due; ++sent) {
            const auto& value = (sent % 2 == 0) ? narrower : original;
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, workarea, XCB_ATOM_CARDINAL, 32,
                                static_cast<std::uint32_t>(value.size()), value.data());
        }
        xcb_flush(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto& last = o.final.size() == 4 ? o.final : original;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, workarea, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(last.size()), last.data());
    Reply<xcb_get_input_focus_reply_t> sync{xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)};
    flooding = false;
    pinger.join();
    xcb_disconnect(c);

    std::printf("changes %ld\n", sent + 1);
    if (!o.socket.empty()) {
        const auto answered = std::count_if(pings.begin(), pings.end(), [](double ms) { return ms >= 0; });
        const double slowest = pings.empty() ? 0 : *std::max_element(pings.begin(), pings.end());
        const bool lost = answered != static_cast<long>(pings.size());
        std::printf("pings %zu answered %ld slowest_ms %.1f\n", pings.size(), static_cast<long>(answered),
                    lost ? 5000.0 : slowest);
    }
    return 0;
}
