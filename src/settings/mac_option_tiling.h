#pragma once

#include "platform/preference_domains.h"

namespace marrowick {

// The operating system's own tiling of Option-drags, which would take those drags over.
class MacOptionTiling {
public:
    static constexpr const char* domain = "com.apple.WindowManager";
    static constexpr const char* key = "EnableTilingOptionAccelerator";

    explicit MacOptionTiling(PreferenceDomains& domains) : domains_(domains) {}

    // Whether the desktop has this setting at all; where it does not, nothing about it is shown.
    [[nodiscard]] bool offered() const { return domains_.offered(); }
    // On unless stored as off; an absent value or domain counts as on.
    [[nodiscard]] bool isOn();
    // Writes the setting and logs what it reads afterwards.
    void set(bool on);
    // On, and Option (Alt) is among the drag keys.
    [[nodiscard]] bool conflicts();

private:
    PreferenceDomains& domains_;
};

}  // namespace marrowick
