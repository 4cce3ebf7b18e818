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
    QtOutline(std::function<bool()> translucent, Scale pixelsPerPoint)
        : translucent_(std::move(translucent)), pixelsPerPoint_(std::move(pixelsPerPoint)) {}
    void show(const Rect& r, const OutlineStyle& style) override {
        const OverlayPlace at = place(r, pixelsPerPoint_);
        view_.keep();
        view_.setStyle(style, translucent_(), at.unitsPerPoint);
        showOverlayAt(view_, at.geometry);
    }
    void hide() override { view_.release(); }

private:
    std::function<bool()> translucent_;
    Scale pixelsPerPoint_;
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
    return std::make_unique<QtOutline>(translucent_, pixelsPerPoint_);
}

std::unique_ptr<HandleSurface> QtSurfaces::handle() {
    return std::make_unique<QtHandle>(translucent_, pixelsPerPoint_);
}

}  // namespace marrowick
