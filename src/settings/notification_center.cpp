#include "settings/notification_center.h"

namespace marrowick {

Subscription NotificationCenter::addObserver(const std::string& name, std::function<void()> observer) {
    return observers_[name].add(std::move(observer));
}

void NotificationCenter::post(std::string_view name) const {
    if (auto it = observers_.find(name); it != observers_.end()) it->second.call();
}

}  // namespace marrowick
