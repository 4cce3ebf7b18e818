#pragma once

#include <memory>
#include <vector>

#include "platform/surfaces.h"

namespace marrowick::sim {

// What a simulated outline shows; it stays readable after the surface is gone.
struct OutlineRecord {
    bool visible = false;
    Rect rect;
    OutlineStyle style;
    std::optional<Window> below;  // the window it was last shown just below, if any
    int geometryChanges = 0;      // how often its rectangle was set to a new one
    bool alive = true;
};

// What a simulated handle shows, and the user's hand on it.
struct HandleRecord {
    bool visible = false;
    Rect rect;
    Axis axis = Axis::columns;
    int geometryChanges = 0;
    bool alive = true;
    bool pressed = false;
    HandleSurface* surface = nullptr;  // none once it is gone

    // The left button on the handle, as the user would: only on a visible handle.
    void press();
    void drag();
    void release();
};

// Surfaces that only record what they are asked to show, in the order they were made.
class SimSurfaces : public Surfaces {
public:
    std::unique_ptr<OutlineSurface> outline() override;
    std::unique_ptr<HandleSurface> handle() override;

    [[nodiscard]] const std::vector<std::shared_ptr<OutlineRecord>>& outlines() const { return outlines_; }
    [[nodiscard]] const std::vector<std::shared_ptr<HandleRecord>>& handles() const { return handles_; }
    [[nodiscard]] std::size_t visibleOutlines() const;
    [[nodiscard]] std::size_t visibleHandles() const;

private:
    std::vector<std::shared_ptr<OutlineRecord>> outlines_;
    std::vector<std::shared_ptr<HandleRecord>> handles_;
};

}  // namespace marrowick::sim
