#pragma once

#include "geometry/geometry.h"
#include "overlay/live_overlay.h"
#include "snap/snapper.h"
#include "support/desktop_fixture.h"

namespace marrowick::test {

// The overlay wired into a snapper on the simulated desktop. Presses on a visible handle go to
// that handle, as the window system would send them, and to our own windows' watchers.
class OverlayTest : public DesktopTest {
protected:
    OverlayTest() {
        restart();
        desk.ownWindowAt = [this](Point p) { return handleAt(p) != nullptr || p == ownWindowSpot; };
    }

    // A new overlay and snapper, with no key or button down.
    void restart() {
        if (pressed_ != nullptr) release();
        desk.setModifiers({});
        desk.pointer().buttons_ = 0;
        snapper.reset();
        overlay = std::make_unique<LiveOverlay>(desk, follower, notifications);
        snapper = std::make_unique<Snapper>(desk, overlay.get());
        snapper->begin();
        firstOutline_ = desk.surfaces().outlines().size();  // the overlay's come after the snapper's
    }

    // The visible handle that holds p.
    sim::HandleRecord* handleAt(Point p) {
        for (const auto& h : desk.surfaces().handles()) {
            if (h->alive && h->visible && mouseInRect(p, h->rect)) return h.get();
        }
        return nullptr;
    }
    void press(Point p) {
        desk.mouseDown(p);
        pressed_ = handleAt(p);
        if (pressed_ != nullptr) pressed_->press();
    }
    void dragTo(Point p) {
        desk.dragTo(p);
        if (pressed_ != nullptr) pressed_->drag();
    }
    void release() {
        desk.mouseUp();
        if (pressed_ != nullptr) pressed_->release();
        pressed_ = nullptr;
    }

    // The overlay's k-th outline and handle.
    [[nodiscard]] const sim::OutlineRecord& outline(std::size_t k) const {
        return *desk.surfaces().outlines().at(firstOutline_ + k);
    }
    [[nodiscard]] const sim::HandleRecord& handle(std::size_t k) const {
        const auto& all = desk.surfaces().handles();
        return *all.at(all.size() - overlay->handles().size() + k);
    }
    [[nodiscard]] std::size_t overlayOutlines() const { return desk.surfaces().outlines().size() - firstOutline_; }
    [[nodiscard]] std::size_t visibleOutlines() const { return desk.surfaces().visibleOutlines(); }
    [[nodiscard]] std::size_t visibleHandles() const { return desk.surfaces().visibleHandles(); }
    // The centre of the k-th handle.
    [[nodiscard]] Point handleCentre(std::size_t k) const {
        const Rect& r = handle(k).rect;
        return {r.x + r.width / 2, r.y + r.height / 2};
    }

    // A point where one of our own other windows (say, the settings window) lies.
    Point ownWindowSpot{5000, 500};
    NotificationCenter notifications;
    WindowFollower follower{desk.windows(), 4242};
    std::unique_ptr<LiveOverlay> overlay;
    std::unique_ptr<Snapper> snapper;

private:
    sim::HandleRecord* pressed_ = nullptr;
    std::size_t firstOutline_ = 0;
};

}  // namespace marrowick::test
