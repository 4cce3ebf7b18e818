#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLocalSocket>
#include <cstdlib>
#include <string>

#include "base/log.h"

namespace marrowick {

namespace {

std::string userTag() { return "marrowick-" + std::to_string(::getuid()); }

bool fromSameUser(const QLocalSocket& socket) {
    ucred cred{};
    socklen_t len = sizeof cred;
    const auto fd = static_cast<int>(socket.socketDescriptor());
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

}  // namespace

std::filesystem::path SingleInstance::defaultRuntimeDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (runtime != nullptr && *runtime != '\0' && std::filesystem::is_directory(runtime, ec)) return runtime;
    return std::filesystem::temp_directory_path(ec);
}

std::unique_ptr<SingleInstance> SingleInstance::acquire(const std::filesystem::path& runtimeDir,
                                                        std::function<void()> onReopen) {
    const std::filesystem::path lockPath = runtimeDir / (userTag() + ".lock");
    const std::filesystem::path socketPath = runtimeDir / (userTag() + ".socket");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return std::unique_ptr<SingleInstance>(new SingleInstance(fd, socketPath, std::move(onReopen)));
    }
    if (fd >= 0) ::close(fd);
    // Another instance holds the lock: hand it the request. Either way this one does not run.
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath.string()));
    if (socket.waitForConnected(1000)) {
        socket.write(reopenMessage);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    return nullptr;
}

SingleInstance::SingleInstance(int lockFd, std::filesystem::path socketPath, std::function<void()> onReopen)
    : lockFd_(lockFd), socketPath_(std::move(socketPath)), onReopen_(std::move(onReopen)) {
    const QString name = QString::fromStdString(socketPath_.string());
    QLocalServer::removeServer(name);  // a socket left by a crashed instance
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name)) {
        note("cannot listen for other launches: " + server_.errorString().toStdString());
        return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { accept(); });
}

SingleInstance::~SingleInstance() {
    server_.close();
    ::close(lockFd_);
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!fromSameUser(*socket)) {
            socket->abort();
            continue;
        }
        // The request is tiny: read it once the sender is done, and ignore anything else.
        QObject::connect(socket, &QLocalSocket::readChannelFinished, socket, [this, socket] {
            const QByteArray data = socket->read(64);
            if (data == reopenMessage || data == QByteArray(reopenMessage) + '\n') onReopen_();
        });
    }
}

}  // namespace marrowick
