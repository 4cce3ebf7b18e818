#pragma once

#include <filesystem>
#include <string_view>

namespace marrowick {

// The activity log's file. Set once at start-up, before anything logs.
void setLogPath(std::filesystem::path path);

// Removes the previous run's log; any failure is ignored.
void removeLog();

// Appends one timestamped line ("2025-03-07 14:05:09 +0000 message\n"). Never creates folders
// and never reports a failure. Safe from any thread: entries are written whole and none is lost.
void note(std::string_view message);

}  // namespace marrowick
