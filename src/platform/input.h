#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/subscription.h"

namespace marrowick {

// The four keys that can take part in a drag; Caps Lock, Num Lock and the rest never do.
enum class Key : std::uint8_t { shift = 1, control = 2, alt = 4, super = 8 };

// A set of the four keys.
class Modifiers {
public:
    constexpr Modifiers() = default;
    constexpr Modifiers(std::initializer_list<Key> keys) {
        for (Key k : keys) bits_ |= static_cast<std::uint8_t>(k);
    }
    // From the Key bits; other bits are dropped.
    [[nodiscard]] static constexpr Modifiers fromBits(unsigned bits) {
        Modifiers m;
        m.bits_ = static_cast<std::uint8_t>(bits & 0xfU);
        return m;
    }
    [[nodiscard]] constexpr std::uint8_t bits() const { return bits_; }
    [[nodiscard]] constexpr bool has(Key k) const { return (bits_ & static_cast<std::uint8_t>(k)) != 0; }
    [[nodiscard]] constexpr bool empty() const { return bits_ == 0; }
    [[nodiscard]] constexpr Modifiers with(Key k) const { return fromBits(bits_ | static_cast<std::uint8_t>(k)); }
    [[nodiscard]] constexpr Modifiers without(Key k) const {
        return fromBits(bits_ & ~static_cast<unsigned>(static_cast<std::uint8_t>(k)));
    }
    constexpr bool operator==(const Modifiers&) const = default;

private:
    std::uint8_t bits_ = 0;
};

enum class InputKind {
    press,      // the left button went down
    release,    // the left button came up
    drag,       // the pointer moved with the left button down
    key,        // a key other than a modifier was pressed
    modifiers,  // the set of modifier keys held changed
};

struct InputEvent {
    InputKind kind = InputKind::press;
    Modifiers modifiers;  // held at that moment
    // A key press that makes the window manager cancel a window move and put the window back
    // (Escape); never set for a key that leaves a move alone.
    bool cancelsWindowMove = false;
    bool operator==(const InputEvent&) const = default;
};

// Observes the user's input without ever consuming it. Handlers run on the main thread, in the
// order the events happened. A backend hands each event to deliver.
class Input {
public:
    using Handler = std::function<void(const InputEvent&)>;

    virtual ~Input() = default;
    // Events going to other applications' windows.
    Subscription watchOthers(Handler handler) { return others_.add(std::move(handler)); }
    // Events going to our own windows.
    Subscription watchOwn(Handler handler) { return own_.add(std::move(handler)); }
    [[nodiscard]] std::size_t watchers() const { return others_.size() + own_.size(); }

protected:
    void deliver(const InputEvent& event, bool toOwn) const {
        if (toOwn) {
            own_.call(event);
        } else {
            others_.call(event);
        }
    }

private:
    HandlerList<const InputEvent&> others_;
    HandlerList<const InputEvent&> own_;
};

}  // namespace marrowick
