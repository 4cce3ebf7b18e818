#pragma once

#include "snap/tile_outline.h"
#include "ui/outline.h"

namespace marrowick {

// The snapper's outline: one overlay outline in the style stored at the moment it shows.
class SnapOutline : public TileOutline {
public:
    explicit SnapOutline(const Screens& screens) : outline_(screens) {}
    void show(const Rect& tile) override;
    void hide() override { outline_.hide(); }
    [[nodiscard]] const Outline& outline() const { return outline_; }

private:
    Outline outline_;
};

}  // namespace marrowick
