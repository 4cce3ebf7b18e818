#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/modifiers.h"
#include "platform/subscription.h"

namespace marrowick {

namespace EventType {
inline constexpr int leftMouseDown = 1;
inline constexpr int leftMouseUp = 2;
inline constexpr int leftMouseDragged = 6;
inline constexpr int keyDown = 10;
inline constexpr int flagsChanged = 12;
}  // namespace EventType

[[nodiscard]] constexpr std::uint64_t eventMask(int type) { return std::uint64_t{1} << type; }

struct Event {
    int type = 0;
    std::uint64_t modifierFlags = 0;  // the Modifier bits of that moment
    // A key press that makes the platform's window manager cancel a window move and put the
    // window back (Escape on X11); never set where a key press leaves the move alone.
    bool cancelsWindowMove = false;
    bool operator==(const Event&) const = default;
};

// Observes input without ever consuming it. Handlers run on the main thread, in event order.
class InputMonitors {
public:
    using GlobalHandler = std::function<void(const Event&)>;
    // Answers the event to deliver on to our own windows, or none to drop it.
    using LocalHandler = std::function<std::optional<Event>(const Event&)>;

    virtual ~InputMonitors() = default;
    // Events going to other applications. None when the platform refuses the monitor.
    virtual std::optional<Subscription> addGlobal(std::uint64_t mask, GlobalHandler handler) = 0;
    // Events going to this application's own windows.
    virtual std::optional<Subscription> addLocal(std::uint64_t mask, LocalHandler handler) = 0;
};

// The monitors of one platform and the one rule for handing them an event: global monitors
// each see the event; local ones form a chain, each seeing what the one before passed on, and
// none ends it.
class MonitorList {
public:
    Subscription addGlobal(std::uint64_t mask, InputMonitors::GlobalHandler handler);
    Subscription addLocal(std::uint64_t mask, InputMonitors::LocalHandler handler);

    void deliverGlobal(const Event& event) const;
    // Answers what our own windows then receive.
    std::optional<Event> deliverLocal(const Event& event) const;

    [[nodiscard]] std::size_t globalCount() const { return global_.size(); }
    [[nodiscard]] std::size_t localCount() const { return local_.size(); }

private:
    HandlerList<const Event&> global_;
    HandlerList<std::optional<Event>&> local_;
};

}  // namespace marrowick
