#include "platform/sim/sim_services.h"

namespace marrowick::sim {

std::optional<Subscription> SimInputMonitors::addGlobal(std::uint64_t mask, GlobalHandler handler) {
    if (refuseGlobal) return std::nullopt;
    return monitors_.addGlobal(mask, std::move(handler));
}

std::optional<Subscription> SimInputMonitors::addLocal(std::uint64_t mask, LocalHandler handler) {
    if (refuseLocal) return std::nullopt;
    return monitors_.addLocal(mask, std::move(handler));
}

std::optional<Event> SimInputMonitors::dispatch(const Event& event, bool toOwnApp) {
    if (toOwnApp) return monitors_.deliverLocal(event);
    monitors_.deliverGlobal(event);
    return std::nullopt;
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
