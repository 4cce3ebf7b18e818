#include "platform/sim/sim_services.h"

namespace marrowick::sim {

int SimDialogs::runModal(const Alert& alert) {
    alerts.push_back(alert);
    if (answers.empty()) return alertFirstButton + 1;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> SimLoginItems::registerItem() {
    if (failWith) return failWith;
    statusValue = enabled;
    return std::nullopt;
}

std::optional<std::string> SimLoginItems::unregisterItem() {
    if (failWith) return failWith;
    statusValue = 0;
    return std::nullopt;
}

std::optional<bool> SimPreferenceDomains::boolean(std::string_view domain, std::string_view key) {
    if (!offer) return std::nullopt;
    auto it = values.find({std::string(domain), std::string(key)});
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool SimPreferenceDomains::setBoolean(std::string_view domain, std::string_view key, bool value) {
    if (!offer || refuse) return false;
    values.insert_or_assign({std::string(domain), std::string(key)}, value);
    return true;
}

}  // namespace marrowick::sim
