#include "overlay/divider_handle.h"

#include "geometry/dividers.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

DividerHandle::DividerHandle(Platform& platform)
    : screens_(platform.screens()), pointer_(platform.pointer()), surface_(platform.surfaces().handle()) {}

DividerHandle::~DividerHandle() = default;

Rect DividerHandle::frameOn(const Screen& screen, std::size_t index) {
    const Rect& a = screen.workArea;
    const std::vector<Rect> secs = sections(screen);
    if (index >= secs.size()) return {};
    const Rect& r = secs[index];
    // Divider i is the trailing edge of section i: its right edge, or its bottom for rows.
    const double across = thickness * screen.scale;
    if (Settings::axis(screen) == Axis::columns) return {r.maxX() - across / 2, a.minY(), across, a.height};
    return {a.minX(), r.maxY() - across / 2, a.width, across};
}

void DividerHandle::place(const Screen& on, std::size_t index) {
    screen_ = on;
    index_ = index;
    surface_->show(frameOn(on, index), Settings::axis(on));
}

std::optional<Screen> DividerHandle::followPointer() {
    if (!screen_) return std::nullopt;
    // The monitor as it is now, found by its display key: it may have moved, or be gone.
    const std::string key = Settings::displayKey(*screen_);
    const Screen* now = nullptr;
    for (const Screen& s : screens_.screens()) {
        if (Settings::displayKey(s) == key) {
            now = &s;
            break;
        }
    }
    if (now == nullptr) return std::nullopt;
    const std::vector<double> list = Settings::dividers(*now, key);
    if (index_ >= list.size()) return std::nullopt;
    const Rect& a = now->workArea;
    if (a.isEmpty()) return std::nullopt;
    const Point p = pointer_.location();
    const double f =
        Settings::axis(*now, key) == Axis::columns ? (p.x - a.minX()) / a.width : (p.y - a.minY()) / a.height;
    Settings::setDividers(moving(list, index_, f), *now);
    return *now;
}

void DividerHandle::hide() { surface_->hide(); }

}  // namespace marrowick
