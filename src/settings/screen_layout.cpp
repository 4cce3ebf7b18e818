#include "settings/screen_layout.h"

#include <string>

#include "geometry/geometry.h"
#include "geometry/sections.h"
#include "settings/settings.h"

namespace marrowick {

std::vector<Rect> sections(const Screen& screen) {
    const std::string key = Settings::displayKey(screen);
    return sections(screen.workArea, Settings::axis(screen, key), Settings::dividers(screen, key));
}

std::vector<Rect> tiles(const Screen& screen) {
    const std::string key = Settings::displayKey(screen);
    const Axis axis = Settings::axis(screen, key);
    const std::vector<Rect> secs = sections(screen.workArea, axis, Settings::dividers(screen, key));
    return tiles(secs, axis, Settings::gapPixels(screen, key, secs, axis));
}

std::optional<Rect> tileUnderPointer(Point p, const std::vector<Screen>& screens) {
    for (const Screen& screen : screens) {
        if (!mouseInRect(p, screen.frame)) continue;
        if (!mouseInRect(p, inset(screen.workArea, edgeBand.x * screen.scale, edgeBand.y * screen.scale)))
            return std::nullopt;
        const std::string key = Settings::displayKey(screen);
        const Axis axis = Settings::axis(screen, key);
        const std::vector<Rect> secs = sections(screen.workArea, axis, Settings::dividers(screen, key));
        for (std::size_t i = 0; i < secs.size(); ++i) {
            if (mouseInRect(p, secs[i]))
                return tileOf(secs[i], i, secs.size(), axis, Settings::gapPixels(screen, key, secs, axis));
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace marrowick
