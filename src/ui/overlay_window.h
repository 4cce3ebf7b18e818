#pragma once

#include <QRect>

#include "base/rect.h"

class QWidget;

namespace marrowick {

// What an overlay window does with the mouse.
enum class OverlayInput {
    passesThrough,  // clicks and drags reach whatever lies below (outlines)
    takesPresses,   // presses land here, without activating us or taking the focus (handles)
};

// The traits every overlay window shares: frameless, never focused and never activating us,
// above normal windows, on every desktop, out of the taskbar and pager, and on X11 a window the
// window manager leaves alone (override-redirect). Created hidden, with an empty frame.
void makeOverlayWindow(QWidget& window, OverlayInput input);

// A rectangle of the desktop as a window's geometry, rounded to whole pixels.
[[nodiscard]] QRect windowRect(const Rect& r);

// Puts the window at r (setting its geometry only when it differs) and shows it where it stands
// in the stacking order, without activating anything.
void placeOverlayAt(QWidget& window, const Rect& r);

// The same, and brings it to the front of the overlays.
void showOverlayAt(QWidget& window, const Rect& r);

}  // namespace marrowick
