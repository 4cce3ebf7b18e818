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

// A rectangle of the desktop as a Qt window: its geometry in Qt's coordinates and how many of
// Qt's units make one point there.
struct OverlayPlace {
    QRect geometry;
    double unitsPerPoint = 1;
};

// Where a rectangle in the desktop's pixels goes, on a monitor of pixelsPerPoint. Qt on X11
// keeps a screen's origin and divides its size by the screen's device pixel ratio: each edge is
// mapped that way and rounded to a whole unit, so a strip a whole number of points wide stays
// exactly that wide.
[[nodiscard]] OverlayPlace overlayPlace(const Rect& r, double pixelsPerPoint);

// Puts the window at geometry (setting it only when it differs) and shows it, without
// activating anything. A window shown already keeps its place in the stacking order.
void placeOverlayAt(QWidget& window, const QRect& geometry);

// The same, and brings it to the front of the overlays.
void showOverlayAt(QWidget& window, const QRect& geometry);

}  // namespace marrowick
