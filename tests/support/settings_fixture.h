#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_screens.h"
#include "settings/defaults.h"
#include "settings/settings.h"

namespace marrowick::test {

// A fresh in-memory store with the registered defaults, and simulated displays, per test.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        Settings::install(store, screens);
        Settings::registerDefaults();
    }

    static Screen screen(Rect frame, Rect workArea, std::string name = "Display") {
        return Screen{frame, workArea, std::nullopt, std::move(name)};
    }
    static Screen screen(Rect frame, std::string name = "Display") { return screen(frame, frame, std::move(name)); }

    Defaults store;
    sim::SimScreens screens;
};

}  // namespace marrowick::test
