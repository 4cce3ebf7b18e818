#pragma once

#include <QSocketNotifier>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/input_monitors.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// XInput 2 raw events on the root window, on a connection of their own, with the modifier state
// that XKB reports. Nothing is grabbed, so every application still gets every event. Events go
// to the local monitors when they are for one of this process's windows (the pointer's window
// at the press, the focused window for keys), else to the global ones. Handlers run on the
// thread that created the service, from its event loop, in the server's order.
class X11InputMonitors : public InputMonitors {
public:
    static constexpr double requestTimeout = 0.1;
    static constexpr std::uint32_t escapeKeysym = 0xff1b;
    // Fails (none) when the server lacks XInput 2.2 or XKB.
    static std::unique_ptr<X11InputMonitors> create(std::unique_ptr<Connection> conn, int ownPid);
    ~X11InputMonitors() override;

    std::optional<Subscription> addGlobal(std::uint64_t mask, GlobalHandler handler) override;
    std::optional<Subscription> addLocal(std::uint64_t mask, LocalHandler handler) override;

    // The modifier bits of an X modifier state (Shift, Lock, Control, Mod1 = Alt, Mod4 = Super).
    static std::uint64_t flagsOf(unsigned xMods);
    // Handles what the server has sent; the event loop calls it, tests may too.
    void drain();

private:
    X11InputMonitors(std::unique_ptr<Connection> conn, int ownPid);
    void handle(xcb_generic_event_t* ev);
    void deliver(const Event& event, bool own);
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
    std::uint64_t flags_ = 0;
    bool leftDown_ = false;
    bool pressOwn_ = false;                     // the press went to one of our windows: so do its drags and release
    std::optional<xcb_window_t> pointerInOwn_;  // our window the pointer is in, in event order
    MonitorList monitors_;
};

}  // namespace marrowick::x11
