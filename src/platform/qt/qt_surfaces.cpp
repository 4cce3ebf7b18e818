#include "platform/qt/qt_surfaces.h"

#include "ui/handle_view.h"
#include "ui/outline_view.h"
#include "ui/overlay_window.h"

namespace marrowick {

namespace {

class QtOutline : public OutlineSurface {
public:
    explicit QtOutline(std::function<bool()> translucent) : translucent_(std::move(translucent)) {}
    void show(const Rect& r, const OutlineStyle& style) override {
        view_.keep();
        view_.setStyle(style, translucent_());
        showOverlayAt(view_, r);
    }
    void hide() override { view_.release(); }

private:
    std::function<bool()> translucent_;
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

std::unique_ptr<OutlineSurface> QtSurfaces::outline() { return std::make_unique<QtOutline>(translucent_); }

std::unique_ptr<HandleSurface> QtSurfaces::handle() { return std::make_unique<QtHandle>(translucent_); }

}  // namespace marrowick
