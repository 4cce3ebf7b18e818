#include "ui/overlay_window.h"

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

QRect windowRect(const Rect& r) {
    return {static_cast<int>(std::lround(r.x)), static_cast<int>(std::lround(r.y)),
            static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height))};
}

void placeOverlayAt(QWidget& window, const Rect& r) {
    const QRect target = windowRect(r);
    if (window.geometry() != target) window.setGeometry(target);
    window.show();
}

void showOverlayAt(QWidget& window, const Rect& r) {
    placeOverlayAt(window, r);
    window.raise();
}

}  // namespace marrowick
