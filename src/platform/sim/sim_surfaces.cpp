#include "platform/sim/sim_surfaces.h"

#include <algorithm>

namespace marrowick::sim {

namespace {

class SimOutline : public OutlineSurface {
public:
    explicit SimOutline(std::shared_ptr<OutlineRecord> record) : r_(std::move(record)) {}
    ~SimOutline() override { r_->alive = false; }
    SimOutline(const SimOutline&) = delete;
    SimOutline& operator=(const SimOutline&) = delete;
    void show(const Rect& rect, const OutlineStyle& style, std::optional<Window> below) override {
        if (rect != r_->rect) ++r_->geometryChanges;
        r_->rect = rect;
        r_->style = style;
        r_->below = below;
        r_->visible = true;
    }
    void hide() override { r_->visible = false; }

private:
    std::shared_ptr<OutlineRecord> r_;
};

class SimHandle : public HandleSurface {
public:
    explicit SimHandle(std::shared_ptr<HandleRecord> record) : r_(std::move(record)) { r_->surface = this; }
    ~SimHandle() override {
        r_->alive = false;
        r_->surface = nullptr;
    }
    SimHandle(const SimHandle&) = delete;
    SimHandle& operator=(const SimHandle&) = delete;
    void show(const Rect& rect, Axis axis) override {
        if (rect != r_->rect) ++r_->geometryChanges;
        r_->rect = rect;
        r_->axis = axis;
        r_->visible = true;
    }
    void hide() override {
        r_->visible = false;
        // As a real window: hidden under a held button, it never sees the release.
        if (r_->pressed) r_->release();
    }

private:
    std::shared_ptr<HandleRecord> r_;
};

}  // namespace

void HandleRecord::press() {
    if (!visible || pressed || surface == nullptr) return;
    pressed = true;
    if (surface->onPress) surface->onPress();
}

void HandleRecord::drag() {
    if (pressed && surface != nullptr && surface->onDrag) surface->onDrag();
}

void HandleRecord::release() {
    if (!pressed) return;
    pressed = false;
    if (surface != nullptr && surface->onRelease) surface->onRelease();
}

std::unique_ptr<OutlineSurface> SimSurfaces::outline() {
    return std::make_unique<SimOutline>(outlines_.emplace_back(std::make_shared<OutlineRecord>()));
}

std::unique_ptr<HandleSurface> SimSurfaces::handle() {
    return std::make_unique<SimHandle>(handles_.emplace_back(std::make_shared<HandleRecord>()));
}

std::size_t SimSurfaces::visibleOutlines() const {
    return static_cast<std::size_t>(
        std::count_if(outlines_.begin(), outlines_.end(), [](const auto& o) { return o->alive && o->visible; }));
}

std::size_t SimSurfaces::visibleHandles() const {
    return static_cast<std::size_t>(
        std::count_if(handles_.begin(), handles_.end(), [](const auto& h) { return h->alive && h->visible; }));
}

}  // namespace marrowick::sim
