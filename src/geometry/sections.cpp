#include "geometry/sections.h"

#include <algorithm>
#include <cmath>

#include "geometry/geometry.h"

namespace marrowick {

std::vector<Rect> sections(const Rect& area, Axis axis, const std::vector<double>& dividers) {
    std::vector<Rect> out;
    if (dividers.empty()) return out;
    out.reserve(dividers.size() + 1);
    const bool columns = axis == Axis::columns;
    const double start = columns ? area.minX() : area.minY();
    const double extent = columns ? area.width : area.height;
    const double end = columns ? area.maxX() : area.maxY();
    double a = start;
    for (std::size_t i = 0; i <= dividers.size(); ++i) {
        const double b = i < dividers.size() ? roundHalfAway(start + dividers[i] * extent) : end;
        out.push_back(columns ? Rect{a, area.minY(), b - a, area.height} : Rect{area.minX(), a, area.width, b - a});
        a = b;
    }
    return out;
}

Rect tileOf(const Rect& section, std::size_t i, std::size_t n, Axis axis, double gap) {
    // Half the gap off each side that borders another section: the left or top side of every
    // section but the first, the right or bottom side of every section but the last.
    const double h = gap * 0.5;
    const double leading = i == 0 ? 0 : h;
    const double trailing = i + 1 < n ? h : 0;
    Rect t = section;
    if (axis == Axis::columns) {
        t.x = section.x + leading;
        t.width = section.width - leading - trailing;
    } else {
        t.y = section.y + leading;
        t.height = section.height - leading - trailing;
    }
    return t;
}

std::vector<Rect> tiles(const std::vector<Rect>& secs, Axis axis, double gap) {
    std::vector<Rect> out;
    out.reserve(secs.size());
    for (std::size_t i = 0; i < secs.size(); ++i) out.push_back(tileOf(secs[i], i, secs.size(), axis, gap));
    return out;
}

double usableGap(double gap, const std::vector<Rect>& secs, Axis axis) {
    if (!std::isfinite(gap) || gap <= 0) return 0;
    double most = gap;
    if (secs.size() > 1) {
        for (std::size_t i = 0; i < secs.size(); ++i) {
            const double extent = axis == Axis::columns ? secs[i].width : secs[i].height;
            const bool inner = i > 0 && i + 1 < secs.size();
            most = std::min(most, inner ? extent - 1 : 2 * (extent - 1));
        }
    }
    return std::max(0.0, most);
}

}  // namespace marrowick
