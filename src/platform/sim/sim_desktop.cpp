#include "platform/sim/sim_desktop.h"

namespace marrowick::sim {

void SimDesktop::addApplication(int pid, int policy) { workspace.apps.push_back({pid, policy}); }

Point SimDesktop::toAX(Point p) const {
    const double h = screens.screens().empty() ? 0 : screens.screens().front().frame.maxY();
    return {p.x, h - p.y};
}

Rect SimDesktop::toAX(const Rect& r) const {
    const Point o = toAX(Point{r.minX(), r.maxY()});
    return {o.x, o.y, r.width, r.height};
}

Element SimDesktop::addWindow(int pid, Rect f, SimAccessibility::WindowOptions options) {
    options.frame = toAX(f);
    const Element w = accessibility.addWindow(pid, options);
    const Rect ax = options.frame;
    titleBars_[w.id] = accessibility.addChild(w, "AXTitleBar", {ax.x, ax.y, ax.width, titleBarHeight});
    return w;
}

std::optional<Element> SimDesktop::titleBar(const Element& window) const {
    auto it = titleBars_.find(window.id);
    if (it == titleBars_.end()) return std::nullopt;
    return it->second;
}

std::optional<Rect> SimDesktop::frame(const Element& window) const {
    auto ax = accessibility.frame(window);
    if (!ax) return std::nullopt;
    return toAX(*ax);  // the conversion is its own inverse
}

void SimDesktop::setModifiers(std::uint64_t flags) {
    flags_ = flags;
    input.dispatch({EventType::flagsChanged, flags_}, ownAppFocused);
}

void SimDesktop::keyDown() { input.dispatch({EventType::keyDown, flags_}, ownAppFocused); }

void SimDesktop::mouseDown(Point p) {
    pointer.location_ = p;
    pointer.buttons_ |= 1U;
    const Point ax = toAX(p);
    grabbed_.reset();
    if (auto w = accessibility.windowAt(ax)) {
        accessibility.raise(*w);
        const auto f = accessibility.frame(*w);
        if (f && ax.y < f->y + titleBarHeight) {
            grabbed_ = w;
            grabOffset_ = {ax.x - f->x, ax.y - f->y};
        }
    }
    input.dispatch({EventType::leftMouseDown, flags_}, false);
}

void SimDesktop::dragTo(Point p) {
    pointer.location_ = p;
    if (grabbed_) {
        // The window manager moves the window before the event is seen, as a real one does.
        const Point ax = toAX(p);
        if (auto f = accessibility.frame(*grabbed_)) {
            accessibility.setFrame(*grabbed_, {ax.x - grabOffset_.x, ax.y - grabOffset_.y, f->width, f->height});
        }
    }
    input.dispatch({EventType::leftMouseDragged, flags_}, false);
}

void SimDesktop::mouseUp() {
    pointer.buttons_ &= ~1U;
    grabbed_.reset();
    input.dispatch({EventType::leftMouseUp, flags_}, false);
}

}  // namespace marrowick::sim
