#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/axis.h"
#include "platform/input.h"
#include "platform/outline_style.h"
#include "platform/screens.h"
#include "settings/defaults.h"
#include "settings/palette.h"

namespace marrowick::Settings {

// The one store of the process and the screens service that names monitors. Installed at
// start-up (and per test); every operation reads through them again, nothing is cached.
void install(Defaults& store, const Screens& screens);
[[nodiscard]] Defaults& store();

// A screen whose width divided by height is at least this counts as ultrawide.
inline constexpr double ultrawideAspect = 2.2;

// Posted after each step of a divider-handle drag.
inline constexpr std::string_view dividersChanged = "dividersChanged";

inline constexpr std::string_view dragKeysKey = "dragKeys";
inline constexpr std::string_view liveOverlayKey = "liveOverlay";
inline constexpr std::string_view fillColorKey = "fillColor";
inline constexpr std::string_view borderColorKey = "borderColor";
inline constexpr std::string_view borderWidthKey = "borderWidth";
inline constexpr std::string_view cornerRadiusKey = "cornerRadius";
inline constexpr std::string_view displayDividersKey = "displayDividers";
inline constexpr std::string_view displayAxisKey = "displayAxis";
inline constexpr std::string_view displayGapKey = "displayGap";
inline constexpr std::string_view dividerLeftKey = "dividerLeft";
inline constexpr std::string_view dividerRightKey = "dividerRight";
inline constexpr std::string_view askedAboutMacTilingKey = "askedAboutMacTiling";

// The keys resetOutline clears and the outline reads, in this order.
inline constexpr std::array<std::string_view, 4> outlineKeys{fillColorKey, borderColorKey, borderWidthKey,
                                                             cornerRadiusKey};

// How "dragKeys" stores each key: the bits settings files have always held.
namespace StoredKey {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t alt = 0x80000;
inline constexpr std::uint64_t super = 0x100000;
inline constexpr std::uint64_t all = shift | control | alt | super;
}  // namespace StoredKey
[[nodiscard]] std::uint64_t storedBits(Modifiers keys);
[[nodiscard]] Modifiers fromStoredBits(std::uint64_t bits);

inline constexpr Modifiers defaultDragKeys{Key::alt};
inline constexpr double defaultBorderWidth = 1.0;
inline constexpr double defaultCornerRadius = 12.0;
inline constexpr Color fallbackColor{0.5, 0.5, 0.5, 0.5};

// The outline's look where the desktop has an accent colour: that colour, translucent inside and
// nearly opaque along a border wide enough to see, where the grey look would vanish on a grey or
// white desktop.
inline constexpr double accentFillAlpha = 0.25;
inline constexpr double accentBorderAlpha = 0.8;
inline constexpr double accentBorderWidth = 2.0;

// Registers the defaults of every key that has one; with an accent colour, the outline's are in
// that colour (its alpha aside).
void registerDefaults(std::optional<Color> accent = std::nullopt);

// The display key, under which every per-monitor setting is filed: the monitor's UUID text, or
// its name when it has none.
[[nodiscard]] std::string displayKey(const Screen& screen);
[[nodiscard]] bool isUltrawide(const Screen& screen);

[[nodiscard]] std::vector<double> dividers(const Screen& screen);
void setDividers(const std::vector<double>& dividers, const Screen& screen);
[[nodiscard]] Axis axis(const Screen& screen);
void setAxis(Axis axis, const Screen& screen);
// In points, as stored: within 0 and the most that leaves every tile at least one pixel.
[[nodiscard]] double gap(const Screen& screen);
void setGap(double gap, const Screen& screen);

// The same reads for a display key (and its sections) computed once by the caller; this gap is
// in pixels (the stored points times the screen's scale, within usableGap).
[[nodiscard]] std::vector<double> dividers(const Screen& screen, std::string_view key);
[[nodiscard]] Axis axis(const Screen& screen, std::string_view key);
[[nodiscard]] double gapPixels(const Screen& screen, std::string_view key, const std::vector<Rect>& sections,
                               Axis axis);

// The stored set when it is a whole number made only of the four keys' bits (0, no key,
// included), else the default.
[[nodiscard]] Modifiers keys();
void setKeys(Modifiers keys);
[[nodiscard]] bool liveOverlay();

[[nodiscard]] Color color(std::string_view key);
void setColor(const Color& color, std::string_view key);
[[nodiscard]] double borderWidth();
[[nodiscard]] double cornerRadius();
// The four outline keys read now.
[[nodiscard]] OutlineStyle outlineStyle();
void resetOutline();

// A divider list is usable when every entry is finite, strictly ascending and inside (0, 1).
[[nodiscard]] bool validDividers(const std::vector<double>& dividers);

}  // namespace marrowick::Settings
