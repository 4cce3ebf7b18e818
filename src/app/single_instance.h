#pragma once

#include <QLocalServer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace marrowick {

// One Marrowick per user: the first launch holds a lock and listens on a local socket; a later
// launch hands it "reopen" with its own arguments, one a line, and stops. The lock dies with its process, so a crash
// leaves nothing that blocks the next start.
class SingleInstance {
public:
    static constexpr const char* reopenMessage = "reopen";
    // A request is a few bytes sent at once: more, or nothing for this long, and the connection
    // is closed. Beyond this many connections at once, new ones are closed straight away.
    static constexpr qint64 maxRequestBytes = 64;
    static constexpr int requestTimeoutMs = 1000;
    static constexpr int maxConnections = 8;

    // This launch became the instance, or handed the request to the running one (neither
    // instance nor problem), or could do neither and must not run (problem says why).
    struct Acquired {
        std::unique_ptr<SingleInstance> instance;
        std::optional<std::string> problem;
    };

    // The arguments a request carried after "reopen".
    using ReopenHandler = std::function<void(const std::vector<std::string>&)>;

    // Becomes the instance, or hands the running one the arguments. onReopen runs on the main
    // thread for every valid request.
    static Acquired acquire(const std::filesystem::path& runtimeDir, const std::vector<std::string>& arguments,
                            ReopenHandler onReopen);

    // Where the lock and socket go: $XDG_RUNTIME_DIR when it names a folder, else a folder of
    // this user's own in the temporary folder, made with mode 0700. That folder is refused
    // (none, and problem says why) unless it is a real folder owned by this user that no one
    // else may enter.
    static std::optional<std::filesystem::path> runtimeDir(std::string& problem);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    [[nodiscard]] const std::filesystem::path& socketPath() const { return socketPath_; }
    // Why later launches cannot reach this instance (its socket could not be made), or none.
    // The instance runs all the same; the reason is left in the lock file for those launches.
    [[nodiscard]] const std::optional<std::string>& listenProblem() const { return listenProblem_; }

private:
    SingleInstance(int lockFd, std::filesystem::path socketPath, ReopenHandler onReopen);
    void accept();

    int lockFd_;
    std::filesystem::path socketPath_;
    ReopenHandler onReopen_;
    int connections_ = 0;
    std::optional<std::string> listenProblem_;
    QLocalServer server_;
};

}  // namespace marrowick
