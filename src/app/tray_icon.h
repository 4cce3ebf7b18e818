#pragma once

#include <QIcon>
#include <array>

namespace marrowick {

inline constexpr std::array trayIconSizes{16, 22, 24, 32, 48, 64};

// The status icon: a monitor split into three columns, the middle one taken by a snapped
// window. A coloured glyph with a light rim around a dark body, so it reads on light and dark
// panels alike, whatever the tray host does with symbolic icons.
[[nodiscard]] QIcon trayIcon();

}  // namespace marrowick
