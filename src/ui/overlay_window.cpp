#include "ui/overlay_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace marrowick {

void makeOverlayWindow(QWidget& window, OverlayInput input) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint;
    if (input == OverlayInput::passesThrough) flags |= Qt::WindowTransparentForInput;
    window.setWindowFlags(flags);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_TransparentForMouseEvents, input == OverlayInput::passesThrough);
    window.setFocusPolicy(Qt::NoFocus);
    window.setGeometry(0, 0, 0, 0);
}

OverlayPlace overlayPlace(const Rect& r, double pixelsPerPoint) {
    // The screen whose pixels hold the rectangle's centre; the desktop's pixels are Qt's own
    // where none does.
    const QPointF centre(r.x + r.width / 2, r.y + r.height / 2);
    QPointF origin;
    double ratio = 1;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const double dpr = s->devicePixelRatio();
        if (QRectF(g.topLeft(), QSizeF(g.size()) * dpr).contains(centre)) {
            origin = g.topLeft();
            ratio = dpr;
            break;
        }
    }
    const auto x = [&](double v) { return static_cast<int>(std::lround(origin.x() + (v - origin.x()) / ratio)); };
    const auto y = [&](double v) { return static_cast<int>(std::lround(origin.y() + (v - origin.y()) / ratio)); };
    const int left = x(r.minX());
    const int top = y(r.minY());
    return {QRect(left, top, x(r.maxX()) - left, y(r.maxY()) - top), pixelsPerPoint / ratio};
}

void placeOverlayAt(QWidget& window, const QRect& geometry) {
    if (window.geometry() != geometry) window.setGeometry(geometry);
    window.show();
}

void showOverlayAt(QWidget& window, const QRect& geometry) {
    placeOverlayAt(window, geometry);
    window.raise();
}

}  // namespace marrowick
