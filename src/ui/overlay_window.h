#pragma once

#include <QRect>

#include "base/rect.h"
#include "platform/screens.h"

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

// An AppKit rectangle as the native window geometry of our own windows.
[[nodiscard]] QRect nativeRect(const Screens& screens, const Rect& r);

// Puts the window at an AppKit rectangle (setting its geometry only when it differs) and brings
// it to the front of the overlays without activating anything.
void showOverlayAt(QWidget& window, const Screens& screens, const Rect& r);

}  // namespace marrowick
