#pragma once

#include "base/rect.h"

namespace marrowick {

// What the snapper shows the prospective tile with.
class TileOutline {
public:
    virtual ~TileOutline() = default;
    virtual void show(const Rect& tile) = 0;
    virtual void hide() = 0;
};

}  // namespace marrowick
