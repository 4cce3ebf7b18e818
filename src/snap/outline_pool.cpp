#include "snap/outline_pool.h"

namespace marrowick {

void OutlinePool::show(const std::vector<Rect>& rects, const OutlineStyle& style) {
    while (outlines_.size() < rects.size()) outlines_.push_back(surfaces_.outline());
    for (std::size_t i = rects.size(); i < outlines_.size(); ++i) outlines_[i]->hide();
    for (std::size_t i = 0; i < rects.size(); ++i) outlines_[i]->show(rects[i], style);
}

void OutlinePool::hide() {
    for (auto& o : outlines_) o->hide();
}

}  // namespace marrowick
