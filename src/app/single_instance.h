#pragma once

#include <QLocalServer>
#include <filesystem>
#include <functional>
#include <memory>

namespace marrowick {

// One Marrowick per user: the first launch holds a lock and listens on a local socket; a later
// launch hands it "reopen" and stops. The lock dies with its process, so a crash leaves nothing
// that blocks the next start.
class SingleInstance {
public:
    static constexpr const char* reopenMessage = "reopen";

    // Becomes the instance (answers it) or, when another one runs, tells it to reopen and
    // answers none. onReopen runs on the main thread for every valid request.
    static std::unique_ptr<SingleInstance> acquire(const std::filesystem::path& runtimeDir,
                                                   std::function<void()> onReopen);
    // $XDG_RUNTIME_DIR, else the temporary folder.
    static std::filesystem::path defaultRuntimeDir();

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    [[nodiscard]] const std::filesystem::path& socketPath() const { return socketPath_; }

private:
    SingleInstance(int lockFd, std::filesystem::path socketPath, std::function<void()> onReopen);
    void accept();

    int lockFd_;
    std::filesystem::path socketPath_;
    std::function<void()> onReopen_;
    QLocalServer server_;
};

}  // namespace marrowick
