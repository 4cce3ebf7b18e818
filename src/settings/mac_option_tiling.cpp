#include "settings/mac_option_tiling.h"

#include <string>

#include "base/log.h"
#include "settings/settings.h"

namespace marrowick {

bool MacOptionTiling::isOn() { return domains_.boolean(domain, key).value_or(true); }

void MacOptionTiling::set(bool on) {
    domains_.setBoolean(domain, key, on);
    note(std::string("macOS Option-drag tiling set to ") + (on ? "true" : "false") + ", now reads " +
         (isOn() ? "true" : "false"));
}

bool MacOptionTiling::conflicts() { return isOn() && Settings::keys().has(Key::alt); }

}  // namespace marrowick
