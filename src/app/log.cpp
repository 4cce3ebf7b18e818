#include "app/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
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
    std::filesystem::path tmp = path;
    tmp += ".tmp-" + std::to_string(::getpid());
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    bool ok = writeAll(fd, line);
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) ::unlink(tmp.c_str());
}

}  // namespace marrowick
