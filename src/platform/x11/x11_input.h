#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/input.h"
#include "platform/pointer.h"
#include "platform/x11/pending_events.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// The Button bits of an X button mask.
[[nodiscard]] unsigned buttonsOf(unsigned xMask);

// XInput 2 raw events on the root window, on a connection of their own, with the modifier state
// that XKB reports. Nothing is grabbed, so every application still gets every event. Events go
// to our own windows' watchers when they are for one of this process's windows (the pointer's
// window at the press, the focused window for keys), else to the others'. Handlers run on the
// thread that created the service, from its event loop, in the server's order. Raw events carry
// no position: a press, and a drag while the watchers read the pointer, waits for a pointer query
// sent without blocking. While the pointer moves with the button down, the socket is read once per
// motion interval, the drags read together go out as the latest one (see PendingEvents), and the
// pointer's answer is collected at the next interval.
class X11Input : public Input {
public:
    static constexpr double requestTimeout = 0.1;
    // While the pointer moves with the button down the socket is read once per interval: a short
    // one while the watchers follow the pointer (an outline follows it), about a frame while they
    // do not. After this many quiet intervals (or at the release) every event wakes them again.
    static constexpr std::chrono::milliseconds motionInterval{4};
    static constexpr std::chrono::milliseconds blindMotionInterval{16};
    static constexpr int quietTickLimit = 25;
    static constexpr std::uint32_t escapeKeysym = 0xff1b;
    // Fails (none) when the server lacks XInput 2.2 or XKB.
    static std::unique_ptr<X11Input> create(std::unique_ptr<Connection> conn, int ownPid);
    ~X11Input() override;

    // The keys of an X modifier state (Shift, Control, Mod1 = Alt, Mod4 = Super); Lock and the
    // other modifiers do not count.
    static Modifiers modifiersOf(unsigned xMods);
    // Handles what the server has sent; the event loop calls it, tests may too.
    void drain();
    // The pointer as it was for the event being delivered now; none outside a delivery or when
    // the event came without it. X11Pointer calls it, so drags carry it while it is wanted.
    std::optional<PointerSample> eventPointer();

private:
    X11Input(std::unique_ptr<Connection> conn, int ownPid);
    void handle(xcb_generic_event_t* ev);
    void askPositions();
    void collectPositions();
    void deliverReady();
    void pace();
    bool ownWindowHasFocus();
    bool ownWindowUnderPointer();
    // Crossing events of our own top-level windows, so that a press is judged by where the
    // pointer was when it happened, not where it is by the time we ask.
    void watchCrossingsIfOwn(xcb_window_t created);

    std::unique_ptr<Connection> conn_;
    int ownPid_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::uint8_t xiOpcode_ = 0;
    std::uint8_t xkbEvent_ = 0;
    std::set<std::uint32_t> modifierKeys_;
    std::set<std::uint32_t> escapeKeys_;
    Modifiers held_;
    bool leftDown_ = false;
    bool pressOwn_ = false;                     // the press went to one of our windows: so do its drags and release
    std::optional<xcb_window_t> pointerInOwn_;  // our window the pointer is in, in event order
    PendingEvents pending_;
    std::optional<PointerSample> current_;
    bool pointerAsked_ = false;   // a watcher read the pointer during this delivery
    bool positionWanted_ = true;  // drags ask for the pointer ahead
    bool motionSinceTick_ = false;
    int quietTicks_ = 0;
    std::unique_ptr<QTimer> tick_;
};

}  // namespace marrowick::x11
