#include "platform/notification_center.h"

#include <algorithm>

namespace marrowick {

NotificationCenter::Token NotificationCenter::addObserver(std::string name, std::function<void()> observer) {
    entries_.push_back({next_, std::move(name), std::move(observer)});
    return next_++;
}

void NotificationCenter::removeObserver(Token token) {
    std::erase_if(entries_, [token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::post(std::string_view name) {
    // Copy first: an observer may add or remove observers while it runs.
    std::vector<std::function<void()>> due;
    for (const Entry& e : entries_) {
        if (e.name == name) due.push_back(e.observer);
    }
    for (auto& f : due) f();
}

}  // namespace marrowick
