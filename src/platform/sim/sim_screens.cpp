#include "platform/sim/sim_screens.h"

namespace marrowick::sim {

std::optional<std::string> SimScreens::uuidText(std::uint32_t displayId) const {
    auto it = uuids_.find(displayId);
    if (it == uuids_.end()) return std::nullopt;
    return it->second;
}

Rect SimScreens::toNative(const Rect& r) const {
    const double h = screens_.empty() ? 0 : screens_.front().frame.maxY();
    return {r.x, h - r.maxY(), r.width, r.height};
}

void SimScreens::setScreens(std::vector<Screen> screens) {
    screens_ = std::move(screens);
    for (auto& h : handlers_) h();
}

}  // namespace marrowick::sim
