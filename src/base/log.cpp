#include "base/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "base/atomic_file.h"
#include "base/utc_time.h"

namespace marrowick {

namespace {

std::mutex& logMutex() {
    static std::mutex m;
    return m;
}

std::filesystem::path& storedPath() {
    static std::filesystem::path p;
    return p;
}

std::string entry(std::string_view message) {
    std::string line = utcText("%Y-%m-%d %H:%M:%S +0000");
    line += ' ';
    line += message;
    line += '\n';
    return line;
}

}  // namespace

void setLogPath(std::filesystem::path path) {
    std::lock_guard lock(logMutex());
    storedPath() = std::move(path);
}

void removeLog() {
    std::lock_guard lock(logMutex());
    std::error_code ec;
    std::filesystem::remove(storedPath(), ec);
}

void note(std::string_view message) {
    const std::string line = entry(message);
    // One writer at a time: without this, two entries could interleave, or two first entries
    // could both take the create path and one would replace the other.
    std::lock_guard lock(logMutex());
    const std::filesystem::path& path = storedPath();
    if (path.empty()) return;

    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        writeAll(fd, line);
        ::close(fd);
        return;
    }
    // No file yet: write it whole through a temporary file, so a reader never sees half an entry.
    replaceFile(path, line, false, 0644);
}

}  // namespace marrowick
