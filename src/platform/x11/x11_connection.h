#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace marrowick::x11 {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;

[[nodiscard]] inline Deadline deadlineIn(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-no-malloc)
};
template <class T>
using XPtr = std::unique_ptr<T, FreeDeleter>;

// An event's type without the bit that marks events sent by other clients.
[[nodiscard]] inline std::uint8_t eventType(const xcb_generic_event_t& ev) { return ev.response_type & 0x7f; }

// The atoms every service uses, interned once per connection.
struct Atoms {
    xcb_atom_t wmState = 0, wmTransientFor = 0, wmNormalHints = 0, wmName = 0, utf8String = 0;
    xcb_atom_t netSupportingWmCheck = 0, netClientList = 0, netWmPid = 0, netWmName = 0;
    xcb_atom_t netFrameExtents = 0, netWmWindowType = 0, netWmState = 0, netMoveresizeWindow = 0;
    xcb_atom_t netWorkarea = 0, netCurrentDesktop = 0, netWmStrut = 0, netWmStrutPartial = 0;
    xcb_atom_t netWmStateHidden = 0, netWmStateMaxVert = 0, netWmStateMaxHorz = 0, netWmStateModal = 0;
    xcb_atom_t typeNormal = 0, typeDialog = 0, typeUtility = 0, typeToolbar = 0, typeSplash = 0;
    xcb_atom_t typeDesktop = 0, typeDock = 0, typeMenu = 0;
    xcb_atom_t edid = 0;
    xcb_atom_t netWmCmS0 = 0;
};

// A reply of the server, or why there is none.
enum class Wait { reply, error, timeout, broken };

// One xcb connection with its root window and atoms. Not shared between threads: each thread
// that talks to the server opens its own. Every wait for a reply has a deadline.
class Connection {
public:
    // None when the server cannot be reached (or does not answer the atoms in time).
    static std::unique_ptr<Connection> open(const std::string& display, double timeoutSeconds = 2.0);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] xcb_connection_t* get() const { return c_; }
    [[nodiscard]] xcb_window_t root() const { return root_; }
    [[nodiscard]] const Atoms& atoms() const { return atoms_; }
    [[nodiscard]] const std::string& display() const { return display_; }
    [[nodiscard]] bool broken() const { return xcb_connection_has_error(c_) != 0; }
    [[nodiscard]] int fd() const { return xcb_get_file_descriptor(c_); }

    // Waits for the reply of the request with that sequence number until the deadline; on a
    // timeout the reply is discarded when it comes.
    Wait wait(unsigned sequence, Deadline deadline, void** reply, int* errorCode = nullptr);

    template <class R, class Cookie>
    XPtr<R> await(Cookie cookie, Deadline deadline, Wait* outcome = nullptr, int* errorCode = nullptr) {
        void* r = nullptr;
        Wait w = wait(cookie.sequence, deadline, &r, errorCode);
        if (outcome) *outcome = w;
        return XPtr<R>(static_cast<R*>(r));
    }

    // Sends a checked void request's outcome: true when the server accepted it before the deadline.
    bool check(xcb_void_cookie_t cookie, Deadline deadline, int* errorCode = nullptr);

    // A window property as 32-bit values (CARDINAL, WINDOW, ATOM…); none when absent, of another
    // format, or not answered in time.
    std::optional<std::vector<std::uint32_t>> property32(xcb_window_t w, xcb_atom_t name, Deadline deadline,
                                                         Wait* outcome = nullptr);
    // A property as bytes (any type, format 8).
    std::optional<std::string> property8(xcb_window_t w, xcb_atom_t name, Deadline deadline);

    std::string atomName(xcb_atom_t atom, Deadline deadline);

private:
    Connection(xcb_connection_t* c, std::string display);
    xcb_connection_t* c_;
    std::string display_;
    xcb_window_t root_ = 0;
    Atoms atoms_;
};

// The DISPLAY of the environment, or ":0".
[[nodiscard]] std::string defaultDisplay();

}  // namespace marrowick::x11
