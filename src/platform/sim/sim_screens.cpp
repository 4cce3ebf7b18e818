#include "platform/sim/sim_screens.h"

namespace marrowick::sim {

std::optional<std::string> SimScreens::uuidText(std::uint32_t displayId) const {
    auto it = uuids_.find(displayId);
    if (it == uuids_.end()) return std::nullopt;
    return it->second;
}

Rect SimScreens::primaryNative() const {
    if (screens_.empty()) return {primaryNativeOrigin.x, primaryNativeOrigin.y, 0, 0};
    const Rect& f = screens_.front().frame;
    return {primaryNativeOrigin.x, primaryNativeOrigin.y, f.width, f.height};
}

void SimScreens::setScreens(std::vector<Screen> screens) {
    screens_ = std::move(screens);
    handlers_.call();
}

}  // namespace marrowick::sim
