#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/subscription.h"

namespace marrowick {

// Named notifications without payload, on the main thread (the changes of the settings that
// several windows show).
class NotificationCenter {
public:
    Subscription addObserver(const std::string& name, std::function<void()> observer);
    // Calls every observer of the name that exists when the post begins, in the order added.
    void post(std::string_view name) const;

private:
    std::map<std::string, HandlerList<>, std::less<>> observers_;
};

}  // namespace marrowick
