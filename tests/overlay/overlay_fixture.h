#pragma once

#include <QApplication>
#include <QMouseEvent>

#include "geometry/geometry.h"
#include "overlay/live_overlay.h"
#include "snap/snapper.h"
#include "support/desktop_fixture.h"
#include "support/recording_outline.h"

namespace marrowick::test {

// The overlay wired into a snapper on the simulated desktop. Presses on a visible handle go to
// that handle's window, as the window system would send them, and to the local monitors.
class OverlayTest : public DesktopTest {
protected:
    OverlayTest() {
        restart();
        desk.ownWindowAt = [this](Point p) { return handleAt(p) != nullptr || p == ownWindowSpot; };
    }

    // A new overlay and snapper, with no key or button down.
    void restart() {
        if (pressed_ != nullptr) release();
        desk.setModifiers(0);
        desk.pointer().buttons_ = 0;
        snapper.reset();
        overlay = std::make_unique<LiveOverlay>(desk, follower);
        snapper = std::make_unique<Snapper>(desk, std::make_unique<RecordingOutline>(), overlay.get());
        snapper->begin();
    }

    // The visible handle whose window holds the AppKit point p.
    HandleView* handleAt(Point p) {
        for (const auto& h : overlay->handles()) {
            const QRect g = h->view().geometry();
            const Rect r =
                desk.screens().fromNative(Rect{double(g.x()), double(g.y()), double(g.width()), double(g.height())});
            if (h->view().isVisible() && mouseInRect(p, r)) return &h->view();
        }
        return nullptr;
    }
    void send(QEvent::Type type, Qt::MouseButtons buttons) {
        const QPointF global = nativePoint(desk.pointer().location());
        QMouseEvent e(type, pressed_->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(pressed_, &e);
    }
    [[nodiscard]] QPointF nativePoint(Point p) {
        const Rect n = desk.screens().toNative(Rect{p.x, p.y, 0, 0});
        return {n.x, n.y};
    }
    void press(Point p) {
        desk.mouseDown(p);
        pressed_ = handleAt(p);
        if (pressed_ != nullptr) send(QEvent::MouseButtonPress, Qt::LeftButton);
    }
    void dragTo(Point p) {
        desk.dragTo(p);
        if (pressed_ != nullptr) send(QEvent::MouseMove, Qt::LeftButton);
    }
    void release() {
        desk.mouseUp();
        if (pressed_ != nullptr) send(QEvent::MouseButtonRelease, Qt::NoButton);
        pressed_ = nullptr;
    }

    [[nodiscard]] std::size_t visibleOutlines() const {
        std::size_t n = 0;
        for (std::size_t i = 0; i < overlay->outlines().size(); ++i) n += overlay->outlines()[i].isVisible() ? 1 : 0;
        return n;
    }
    [[nodiscard]] std::size_t visibleHandles() const {
        std::size_t n = 0;
        for (const auto& h : overlay->handles()) n += h->view().isVisible() ? 1 : 0;
        return n;
    }
    // The centre of the k-th handle, in AppKit coordinates.
    [[nodiscard]] Point handleCentre(std::size_t k) const {
        const auto& h = *overlay->handles().at(k);
        const Rect r = DividerHandle::frameOn(*h.screen(), h.index());
        return {r.x + r.width / 2, r.y + r.height / 2};
    }

    // A point where one of our own other windows (say, the settings window) lies.
    Point ownWindowSpot{5000, 500};
    WindowFollower follower{desk.accessibility(), desk.workspace(), desk.screens()};
    std::unique_ptr<LiveOverlay> overlay;
    std::unique_ptr<Snapper> snapper;

private:
    HandleView* pressed_ = nullptr;
};

}  // namespace marrowick::test
