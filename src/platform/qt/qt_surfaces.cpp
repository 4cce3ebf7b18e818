#include "platform/qt/qt_surfaces.h"

#include "ui/handle_view.h"
#include "ui/outline_view.h"
#include "ui/overlay_window.h"

namespace marrowick {

namespace {

using Scale = std::function<double(const Rect&)>;

OverlayPlace place(const Rect& r, const Scale& pixelsPerPoint) {
    return overlayPlace(r, pixelsPerPoint ? pixelsPerPoint(r) : 1.0);
}

class QtOutline : public OutlineSurface {
public:
    QtOutline(std::function<bool()> translucent, Scale pixelsPerPoint, QtSurfaces::StackBelow stackBelow)
        : translucent_(std::move(translucent)),
          pixelsPerPoint_(std::move(pixelsPerPoint)),
          stackBelow_(std::move(stackBelow)) {}
    void show(const Rect& r, const OutlineStyle& style, std::optional<Window> below) override {
        const OverlayPlace at = place(r, pixelsPerPoint_);
        view_.keep();
        view_.setStyle(style, translucent_(), at.unitsPerPoint);
        if (!below || !stackBelow_) {
            under_.reset();
            showOverlayAt(view_, at.geometry);
            return;
        }
        // Placed under the window once, it stays there while shown: a drag's steps only move it.
        // Stacked once shown, as showing it brings it to the front.
        const bool placed = view_.isVisible() && under_ == below;
        placeOverlayAt(view_, at.geometry);
        if (placed) return;
        under_ = below;
        if (!stackBelow_(view_.winId(), *below)) view_.raise();
    }
    void hide() override {
        under_.reset();
        view_.release();
    }

private:
    std::function<bool()> translucent_;
    Scale pixelsPerPoint_;
    QtSurfaces::StackBelow stackBelow_;
    std::optional<Window> under_;  // the window it was put under while shown
    OutlineView view_;
};

class QtHandle : public HandleSurface {
public:
    QtHandle(std::function<bool()> translucent, Scale pixelsPerPoint)
        : translucent_(std::move(translucent)), pixelsPerPoint_(std::move(pixelsPerPoint)) {
        // The view lives inside this surface: its callbacks cannot outlive it.
        view_.onBegin = [this] {
            if (onPress) onPress();
        };
        view_.onDrag = [this] {
            if (onDrag) onDrag();
        };
        view_.onEnd = [this] {
            if (onRelease) onRelease();
        };
    }
    void show(const Rect& r, Axis axis) override {
        const OverlayPlace at = place(r, pixelsPerPoint_);
        view_.setLook(axis, translucent_(), at.unitsPerPoint);
        showOverlayAt(view_, at.geometry);
    }
    void hide() override { view_.hide(); }

private:
    std::function<bool()> translucent_;
    Scale pixelsPerPoint_;
    HandleView view_;
};

}  // namespace

std::unique_ptr<OutlineSurface> QtSurfaces::outline() {
    return std::make_unique<QtOutline>(translucent_, pixelsPerPoint_, stackBelow_);
}

std::unique_ptr<HandleSurface> QtSurfaces::handle() {
    return std::make_unique<QtHandle>(translucent_, pixelsPerPoint_);
}

}  // namespace marrowick
