#pragma once

#include <optional>
#include <string>

namespace marrowick {

// Starting this application at login.
class LoginItems {
public:
    static constexpr int enabled = 1;
    virtual ~LoginItems() = default;
    [[nodiscard]] virtual int status() const = 0;
    // Each answers an error text on failure.
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;
};

}  // namespace marrowick
