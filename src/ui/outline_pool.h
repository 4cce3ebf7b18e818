#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "ui/outline.h"

namespace marrowick {

// Outlines reused by position: the i-th rectangle of every call goes to the i-th outline. The
// pool grows when a call needs more outlines and never shrinks; surplus ones are only hidden.
class OutlinePool {
public:
    explicit OutlinePool(const Screens& screens) : screens_(screens) {}

    void show(const std::vector<Rect>& rects, const OutlineStyle& style);
    void hide();

    [[nodiscard]] std::size_t size() const { return outlines_.size(); }
    [[nodiscard]] const Outline& operator[](std::size_t i) const { return *outlines_[i]; }

private:
    const Screens& screens_;
    std::vector<std::unique_ptr<Outline>> outlines_;
};

}  // namespace marrowick
