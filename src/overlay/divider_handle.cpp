#include "overlay/divider_handle.h"

#include <cmath>

#include "geometry/dividers.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"
#include "ui/overlay_window.h"

namespace marrowick {

DividerHandle::DividerHandle(const Screens& screens, const Pointer& pointer)
    : screens_(screens), pointer_(pointer), view_(std::make_unique<HandleView>()) {}

DividerHandle::~DividerHandle() = default;

Rect DividerHandle::frameOn(const Screen& screen, std::size_t index) {
    const Rect& v = screen.visibleFrame;
    const std::vector<Rect> secs = sections(screen);
    if (index >= secs.size()) return {};
    const Rect& r = secs[index];
    // Divider i is the trailing edge of section i: its right edge, or its bottom for rows.
    if (Settings::axis(screen) == Axis::columns) return {r.maxX() - thickness / 2, v.minY(), thickness, v.height};
    return {v.minX(), r.minY() - thickness / 2, v.width, thickness};
}

void DividerHandle::place(const Screen& on, std::size_t index) {
    screen_ = on;
    index_ = index;
    view_->setAxis(Settings::axis(on));
    view_->setTranslucent(screens_.supportsTranslucency());
    showOverlayAt(*view_, screens_, frameOn(on, index));
}

std::optional<Screen> DividerHandle::followPointer() {
    if (!screen_) return std::nullopt;
    // The monitor as it is now, found by its display key: it may have moved, or be gone.
    const std::string key = Settings::uuid(*screen_);
    const Screen* now = nullptr;
    for (const Screen& s : screens_.screens()) {
        if (Settings::uuid(s) == key) {
            now = &s;
            break;
        }
    }
    if (now == nullptr) return std::nullopt;
    const std::vector<double> list = Settings::dividers(*now, key);
    if (index_ >= list.size()) return std::nullopt;
    const Rect& v = now->visibleFrame;
    if (v.isEmpty()) return std::nullopt;
    const Point p = pointer_.location();
    const double f =
        Settings::axis(*now, key) == Axis::columns ? (p.x - v.minX()) / v.width : (v.maxY() - p.y) / v.height;
    Settings::setDividers(moving(list, index_, f), *now);
    return *now;
}

void DividerHandle::hide() { view_->hide(); }

}  // namespace marrowick
