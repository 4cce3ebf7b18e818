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

QRect nativeRect(const Screens& screens, const Rect& r) {
    const Rect n = screens.toNative(r);
    return {static_cast<int>(std::lround(n.x)), static_cast<int>(std::lround(n.y)),
            static_cast<int>(std::lround(n.width)), static_cast<int>(std::lround(n.height))};
}

void showOverlayAt(QWidget& window, const Screens& screens, const Rect& r) {
    const QRect target = nativeRect(screens, r);
    if (window.geometry() != target) window.setGeometry(target);
    window.show();
    window.raise();
}

}  // namespace marrowick
