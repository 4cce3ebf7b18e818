#pragma once

#include <gtest/gtest.h>

#include "base/log.h"
#include "platform/sim/sim_desktop.h"
#include "settings/defaults.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

namespace marrowick::test {

// A simulated desktop with two screens side by side, both with a 25-pixel panel along their top
// (an ultrawide one, three columns by default, and a plain one with none), a fresh store and a
// log of its own.
class DesktopTest : public ::testing::Test {
protected:
    DesktopTest() {
        Settings::install(store, desk.screens());
        Settings::registerDefaults();
        setLogPath(dir / "Marrowick.log");
        desk.screens().setScreens({wide, right});
    }
    ~DesktopTest() override { setLogPath({}); }

    [[nodiscard]] std::string log() const { return readFile(dir / "Marrowick.log"); }

    Screen wide{{0, 0, 3440, 1440}, {0, 25, 3440, 1415}, std::nullopt, "Wide"};
    Screen right{{3440, 0, 1920, 1080}, {3440, 25, 1920, 1055}, std::nullopt, "Right"};
    TempDir dir;
    Defaults store;
    sim::SimDesktop desk;
};

}  // namespace marrowick::test
