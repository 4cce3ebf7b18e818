#include "platform/sim/sim_desktop.h"

#include "geometry/coordinates.h"

namespace marrowick::sim {

void SimDesktop::addApplication(int pid, int policy) { workspace_.apps.push_back({pid, policy}); }

double SimDesktop::primaryHeight() const {
    return screens_.screens().empty() ? 0 : screens_.screens().front().frame.maxY();
}

Point SimDesktop::toAX(Point p) const { return axPoint(p, primaryHeight()); }

Rect SimDesktop::toAX(const Rect& r) const { return axRect(r, primaryHeight()); }

Element SimDesktop::addWindow(int pid, Rect f, SimAccessibility::WindowOptions options) {
    options.frame = toAX(f);
    const Element w = accessibility_.addWindow(pid, options);
    const Rect ax = options.frame;
    accessibility_.addChild(w, "AXTitleBar", {ax.x, ax.y, ax.width, titleBarHeight});
    return w;
}

std::optional<Rect> SimDesktop::frame(const Element& window) const {
    auto ax = accessibility_.frame(window);
    if (!ax) return std::nullopt;
    return toAX(*ax);  // the conversion is its own inverse
}

void SimDesktop::setModifiers(std::uint64_t flags) {
    flags_ = flags;
    input_.dispatch({EventType::flagsChanged, flags_}, ownAppFocused);
}

void SimDesktop::keyDown() { input_.dispatch({EventType::keyDown, flags_}, ownAppFocused); }

void SimDesktop::dispatchMouse(int type) { input_.dispatch({type, flags_}, pressOwn_); }

void SimDesktop::mouseDown(Point p) {
    pointer_.location_ = p;
    pointer_.buttons_ |= 1U;
    grabbed_.reset();
    pressOwn_ = ownWindowAt && ownWindowAt(p);
    const Point ax = toAX(p);
    if (auto w = accessibility_.windowAt(ax); w && !pressOwn_) {
        accessibility_.raise(*w);
        const auto f = accessibility_.frame(*w);
        if (f && ax.y < f->y + titleBarHeight) {
            grabbed_ = w;
            grabOffset_ = {ax.x - f->x, ax.y - f->y};
        }
    }
    dispatchMouse(EventType::leftMouseDown);
}

void SimDesktop::dragTo(Point p) {
    pointer_.location_ = p;
    if (grabbed_) {
        // The window manager moves the window before the event is seen, as a real one does.
        const Point ax = toAX(p);
        if (auto f = accessibility_.frame(*grabbed_)) {
            accessibility_.setFrame(*grabbed_, {ax.x - grabOffset_.x, ax.y - grabOffset_.y, f->width, f->height});
        }
    }
    dispatchMouse(EventType::leftMouseDragged);
}

void SimDesktop::mouseUp() {
    pointer_.buttons_ &= ~1U;
    grabbed_.reset();
    dispatchMouse(EventType::leftMouseUp);
}

}  // namespace marrowick::sim
