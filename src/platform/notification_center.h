#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace marrowick {

// Named notifications without payload, on the main thread.
class NotificationCenter {
public:
    using Token = std::uint64_t;
    Token addObserver(std::string name, std::function<void()> observer);
    void removeObserver(Token token);
    // Calls every observer of the name that exists when the post begins, in the order added.
    void post(std::string_view name);

private:
    struct Entry {
        Token token;
        std::string name;
        std::function<void()> observer;
    };
    std::vector<Entry> entries_;
    Token next_ = 1;
};

}  // namespace marrowick
