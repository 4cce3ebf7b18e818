#include "app/log.h"
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <mutex>
#include <string>

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
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S +0000", &tm);
    std::string line(stamp);
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

std::filesystem::path logPath() {
    std::lock_guard lock(logMutex());
    return storedPath();
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
