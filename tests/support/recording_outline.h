#pragma once

#include <optional>

#include "snap/tile_outline.h"

namespace marrowick::test {

// Remembers where the snapper last showed its outline.
class RecordingOutline : public TileOutline {
public:
    void show(const Rect& tile) override {
        shown = tile;
        ++shows;
    }
    void hide() override { shown.reset(); }
    [[nodiscard]] bool isVisible() const { return shown.has_value(); }

    std::optional<Rect> shown;
    int shows = 0;
};

}  // namespace marrowick::test
