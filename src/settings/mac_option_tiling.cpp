#include "settings/mac_option_tiling.h"

#include <string>

#include "base/log.h"
#include "platform/defaults.h"
#include "platform/modifiers.h"
#include "settings/settings.h"

namespace marrowick {

Defaults* MacOptionTiling::store() {
    if (!opened_) {
        opened_ = true;
        store_ = domains_.open(domain);
    }
    return store_;
}

bool MacOptionTiling::isOn() {
    Defaults* s = store();
    if (s == nullptr || !s->has(key)) return true;
    return s->boolean(key);
}

void MacOptionTiling::set(bool on) {
    if (Defaults* s = store()) {
        s->set(key, Value(on));
        s->flush();
    }
    note(std::string("macOS Option-drag tiling set to ") + (on ? "true" : "false") + ", now reads " +
         (isOn() ? "true" : "false"));
}

bool MacOptionTiling::conflicts() { return isOn() && (Settings::keys() & Modifier::option) != 0; }

}  // namespace marrowick
