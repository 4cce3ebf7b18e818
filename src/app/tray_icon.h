#pragma once

#include <QIcon>

namespace marrowick {

// The status icon: a rounded rectangle split into three columns; the installed symbolic icon,
// or else drawn in the palette's text colour so it reads on light and dark panels alike.
[[nodiscard]] QIcon trayIcon();

}  // namespace marrowick
