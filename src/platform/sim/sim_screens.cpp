#include "platform/sim/sim_screens.h"

namespace marrowick::sim {

std::optional<std::string> SimScreens::uuidText(std::uint32_t displayId) const {
    auto it = uuids_.find(displayId);
    if (it == uuids_.end()) return std::nullopt;
    return it->second;
}

void SimScreens::setScreens(std::vector<Screen> screens) {
    screens_ = std::move(screens);
    handlers_.call();
}

}  // namespace marrowick::sim
