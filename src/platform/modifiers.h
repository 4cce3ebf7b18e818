#pragma once

#include <cstdint>

namespace marrowick {

// Modifier-flag bits of an input event, whatever the platform calls its keys.
namespace Modifier {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
}  // namespace Modifier

// How a platform names the four keys to its users: with the symbols and names of the Mac
// keyboard, or with the names PC keyboards print on them (Ctrl, Alt, Shift, Super).
enum class KeyLabels { mac, pc };

// The four keys that can arm snapping; every other bit (Caps Lock, Fn, …) never takes part.
inline constexpr std::uint64_t dragKeyMask = Modifier::shift | Modifier::control | Modifier::option | Modifier::command;

// The drag keys are held when the live flags, masked, equal the chosen set exactly.
[[nodiscard]] inline constexpr bool keysMatch(std::uint64_t flags, std::uint64_t keys) {
    return (flags & dragKeyMask) == keys;
}

}  // namespace marrowick
