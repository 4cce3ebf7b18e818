#pragma once

#include <string_view>

namespace marrowick {

class Defaults;

// Other programs' preference domains.
class PreferenceDomains {
public:
    virtual ~PreferenceDomains() = default;
    // Whether this platform has such domains at all; where it has none, the features built on
    // them are not offered.
    [[nodiscard]] virtual bool offered() const = 0;
    // The named domain, or none when it cannot be opened. The platform keeps it.
    virtual Defaults* open(std::string_view name) = 0;
};

}  // namespace marrowick
