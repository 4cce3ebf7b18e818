#include "platform/sim/sim_desktop.h"

namespace marrowick::sim {

Window SimDesktop::addWindow(int pid, Rect f, SimWindows::Options options) { return windows_.add(pid, f, options); }

void SimDesktop::setModifiers(Modifiers held) {
    held_ = held;
    input_.dispatch({InputKind::modifiers, held_}, ownAppFocused);
}

void SimDesktop::keyDown(bool cancelsWindowMove) {
    input_.dispatch({InputKind::key, held_, cancelsWindowMove}, ownAppFocused);
}

void SimDesktop::dispatchMouse(InputKind kind) { input_.dispatch({kind, held_}, pressOwn_); }

void SimDesktop::mouseDown(Point p) {
    pointer_.location_ = p;
    pointer_.buttons_ |= Button::left;
    grabbed_.reset();
    pressOwn_ = ownWindowAt && ownWindowAt(p);
    if (auto w = windows_.topAt(p); w && !pressOwn_) {
        windows_.raise(*w);
        const auto f = windows_.frameOf(*w);
        if (f && p.y < f->y + titleBarHeight) {
            grabbed_ = w;
            grabOffset_ = {p.x - f->x, p.y - f->y};
        }
    }
    dispatchMouse(InputKind::press);
}

void SimDesktop::dragTo(Point p) {
    pointer_.location_ = p;
    if (grabbed_) {
        // The window manager moves the window before the event is seen, as a real one does.
        if (auto f = windows_.frameOf(*grabbed_)) {
            windows_.place(*grabbed_, {p.x - grabOffset_.x, p.y - grabOffset_.y, f->width, f->height});
        }
    }
    dispatchMouse(InputKind::drag);
}

void SimDesktop::mouseUp() {
    pointer_.buttons_ &= ~Button::left;
    grabbed_.reset();
    dispatchMouse(InputKind::release);
}

}  // namespace marrowick::sim
