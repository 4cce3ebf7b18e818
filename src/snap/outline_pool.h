#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/surfaces.h"

namespace marrowick {

// Outlines reused by position: the i-th rectangle of every call goes to the i-th outline. The
// pool grows when a call needs more outlines and never shrinks; surplus ones are only hidden.
class OutlinePool {
public:
    explicit OutlinePool(Surfaces& surfaces) : surfaces_(surfaces) {}

    void show(const std::vector<Rect>& rects, const OutlineStyle& style);
    void hide();

    [[nodiscard]] std::size_t size() const { return outlines_.size(); }

private:
    Surfaces& surfaces_;
    std::vector<std::unique_ptr<OutlineSurface>> outlines_;
};

}  // namespace marrowick
