#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace marrowick {

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool replaceFile(const std::filesystem::path& path, std::string_view text, bool sync, mode_t mode) {
    std::filesystem::path tmp = path;
    tmp += ".tmp-" + std::to_string(::getpid());
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // Exclusive and not through a link: whatever sits at the name (a link planted there, the
    // leftover of a write of ours that died) is never opened, only its name removed.
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : mode);
        if (fd < 0 && (errno != EEXIST || ::unlink(tmp.c_str()) != 0)) return false;
    }
    if (fd < 0) return false;
    bool ok = !replacing || ::fchmod(fd, old.st_mode & 0777) == 0;
    ok = ok && writeAll(fd, text);
    if (sync) ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

}  // namespace marrowick
