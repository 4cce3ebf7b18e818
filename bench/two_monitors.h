#pragma once

#include <vector>

#include "platform/sim/sim_screens.h"
#include "settings/settings.h"

namespace marrowick {

// The benchmarks' desk: an ultrawide and a plain monitor side by side, both cut into columns at
// the same dividers with a gap of 10, stored through the installed store.
inline void cutTwoMonitors(sim::SimScreens& screens, const std::vector<double>& dividers) {
    screens.setUuid(1, "0E3D5F8C-1111-2222-3333-444455556666");
    screens.setUuid(2, "9A8B7C6D-1111-2222-3333-444455556666");
    screens.setScreens({{{0, 0, 3440, 1440}, {0, 25, 3440, 1415}, 1, "Wide"},
                        {{3440, 0, 1920, 1080}, {3440, 25, 1920, 1055}, 2, "Right"}});
    for (const Screen& s : screens.screens()) {
        Settings::setDividers(dividers, s);
        Settings::setGap(10, s);
        Settings::setAxis(Axis::columns, s);
    }
}

}  // namespace marrowick
