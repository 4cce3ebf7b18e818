#include "geometry/sections.h"

#include <string>

#include "settings/constants.h"
#include "settings/settings.h"

namespace marrowick {

std::vector<Rect> sections(const Rect& vf, Axis axis, const std::vector<double>& dividers) {
    std::vector<Rect> out;
    if (dividers.empty()) return out;
    out.reserve(dividers.size() + 1);
    if (axis == Axis::rows) {
        const double top = vf.maxY();
        double upper = top;
        for (std::size_t i = 0; i <= dividers.size(); ++i) {
            const double lower = i < dividers.size() ? roundHalfAway(top - dividers[i] * vf.height) : vf.minY();
            out.push_back({vf.minX(), lower, vf.width, upper - lower});
            upper = lower;
        }
    } else {
        const double left = vf.minX();
        double a = left;
        for (std::size_t i = 0; i <= dividers.size(); ++i) {
            const double b = i < dividers.size() ? roundHalfAway(left + dividers[i] * vf.width) : vf.maxX();
            out.push_back({a, vf.minY(), b - a, vf.height});
            a = b;
        }
    }
    return out;
}

std::vector<Rect> sections(const Screen& screen) {
    const std::string key = Settings::uuid(screen);
    return sections(screen.visibleFrame, Settings::axis(screen, key), Settings::dividers(screen, key));
}

namespace {

Rect tileOf(const Rect& section, std::size_t i, std::size_t n, Axis axis, double gap) {
    const double h = gap * 0.5;
    const double leading = i == 0 ? 0 : h;
    const double trailing = i + 1 < n ? h : 0;
    Rect t = section;
    if (axis == Axis::columns) {
        t.x = section.x + leading;
        t.width = section.width - leading - trailing;
    } else {
        t.y = section.y + trailing;
        t.height = section.height - leading - trailing;
    }
    return t;
}

}  // namespace

std::vector<Rect> tiles(const std::vector<Rect>& secs, Axis axis, double gap) {
    std::vector<Rect> out;
    out.reserve(secs.size());
    for (std::size_t i = 0; i < secs.size(); ++i) out.push_back(tileOf(secs[i], i, secs.size(), axis, gap));
    return out;
}

std::vector<Rect> tiles(const Screen& screen) {
    const std::string key = Settings::uuid(screen);
    const Axis axis = Settings::axis(screen, key);
    return tiles(sections(screen.visibleFrame, axis, Settings::dividers(screen, key)), axis, Settings::gap(key));
}

std::optional<Rect> tileUnderPointer(Point p, const std::vector<Screen>& screens) {
    for (const Screen& screen : screens) {
        if (!mouseInRect(p, screen.frame)) continue;
        if (!mouseInRect(p, inset(screen.visibleFrame, edgeBand.x, edgeBand.y))) return std::nullopt;
        const std::string key = Settings::uuid(screen);
        const Axis axis = Settings::axis(screen, key);
        const std::vector<Rect> secs = sections(screen.visibleFrame, axis, Settings::dividers(screen, key));
        for (std::size_t i = 0; i < secs.size(); ++i) {
            if (mouseInRect(p, secs[i])) return tileOf(secs[i], i, secs.size(), axis, Settings::gap(key));
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace marrowick
