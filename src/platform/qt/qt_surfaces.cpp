#include "platform/qt/qt_surfaces.h"

#include "ui/handle_view.h"
#include "ui/outline_view.h"
#include "ui/overlay_window.h"

namespace marrowick {

namespace {

class QtOutline : public OutlineSurface {
public:
    QtOutline(std::function<bool()> translucent, QtSurfaces::StackBelow stackBelow)
        : translucent_(std::move(translucent)), stackBelow_(std::move(stackBelow)) {}
    void show(const Rect& r, const OutlineStyle& style, std::optional<Window> below) override {
        view_.keep();
        view_.setStyle(style, translucent_());
        if (!below || !stackBelow_) {
            under_.reset();
            showOverlayAt(view_, r);
            return;
        }
        // Placed under the window once, it stays there while shown: a drag's steps only move it.
        // Stacked once mapped, as showing it brings it to the front.
        const bool placed = view_.isVisible() && under_ == below;
        placeOverlayAt(view_, r);
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
    QtSurfaces::StackBelow stackBelow_;
    std::optional<Window> under_;  // the window it was put under while shown
    OutlineView view_;
};

class QtHandle : public HandleSurface {
public:
    explicit QtHandle(std::function<bool()> translucent) : translucent_(std::move(translucent)) {
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
        view_.setAxis(axis);
        view_.setTranslucent(translucent_());
        showOverlayAt(view_, r);
    }
    void hide() override { view_.hide(); }

private:
    std::function<bool()> translucent_;
    HandleView view_;
};

}  // namespace

std::unique_ptr<OutlineSurface> QtSurfaces::outline() { return std::make_unique<QtOutline>(translucent_, stackBelow_); }

std::unique_ptr<HandleSurface> QtSurfaces::handle() { return std::make_unique<QtHandle>(translucent_); }

}  // namespace marrowick
