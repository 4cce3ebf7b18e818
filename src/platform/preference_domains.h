#pragma once

#include <optional>
#include <string_view>

namespace marrowick {

// Other programs' stored preferences, where the desktop has such a thing.
class PreferenceDomains {
public:
    virtual ~PreferenceDomains() = default;
    // Whether this desktop has such preferences at all; where it has none, the features built on
    // them are not offered.
    [[nodiscard]] virtual bool offered() const = 0;
    // The Boolean under key in the domain; none when the domain or the key is absent.
    [[nodiscard]] virtual std::optional<bool> boolean(std::string_view domain, std::string_view key) = 0;
    // Stores it and answers whether it took.
    virtual bool setBoolean(std::string_view domain, std::string_view key, bool value) = 0;
};

}  // namespace marrowick
