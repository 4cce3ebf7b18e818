#include "platform/sim/sim_services.h"

namespace marrowick::sim {

bool SimInputMonitors::addGlobal(std::uint64_t mask, GlobalHandler handler) {
    if (refuseGlobal) return false;
    global_.emplace_back(mask, std::move(handler));
    return true;
}

bool SimInputMonitors::addLocal(std::uint64_t mask, LocalHandler handler) {
    if (refuseLocal) return false;
    local_.emplace_back(mask, std::move(handler));
    return true;
}

std::optional<Event> SimInputMonitors::dispatch(const Event& event, bool toOwnApp) {
    const std::uint64_t bit = eventMask(event.type);
    if (!toOwnApp) {
        // Copy: a handler may install further monitors.
        auto handlers = global_;
        for (auto& [mask, h] : handlers) {
            if ((mask & bit) != 0) h(event);
        }
        return std::nullopt;
    }
    std::optional<Event> delivered = event;
    auto handlers = local_;
    for (auto& [mask, h] : handlers) {
        if (delivered && (mask & bit) != 0) delivered = h(*delivered);
    }
    return delivered;
}

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

Defaults* SimPreferenceDomains::open(std::string_view name) {
    if (!offer || refuse) return nullptr;
    auto it = domains.find(name);
    if (it == domains.end()) it = domains.emplace(std::string(name), std::make_unique<Defaults>()).first;
    return it->second.get();
}

}  // namespace marrowick::sim
