#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// A RandR 1.5 monitor in root-window coordinates.
struct Monitor {
    std::string name;
    bool primary = false;
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::uint32_t> outputs;
};

// The active monitors, primary first (the server's order otherwise); the root window as one
// monitor where RandR has none. None when the server does not answer in time.
// Without names it takes one round trip instead of two.
std::optional<std::vector<Monitor>> queryMonitors(Connection& conn, Deadline deadline, bool withNames = true);

}  // namespace marrowick::x11
