#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace marrowick {

// Writes all of text to fd, going on after interrupted or short writes.
bool writeAll(int fd, std::string_view text);

// Replaces the file with text through a temporary file beside it, so a reader sees the old
// content or the new, never a part. The temporary file is always a new one, never opened
// through a link or over an existing file; the result keeps the mode of the file it replaces, or
// gets mode when there was none. With sync, the data is on disk before the rename.
bool replaceFile(const std::filesystem::path& path, std::string_view text, bool sync, mode_t mode);

}  // namespace marrowick
