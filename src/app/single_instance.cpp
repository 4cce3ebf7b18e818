#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/log.h"

namespace marrowick {

namespace {

std::string userTag() { return "marrowick-" + std::to_string(::getuid()); }

// The running instance leaves in its lock file why it cannot be reached, if it cannot.
constexpr std::size_t maxLockText = 1024;

std::string lockText(int fd) {
    std::string text(maxLockText, '\0');
    const ssize_t n = ::pread(fd, text.data(), text.size(), 0);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

void setLockText(int fd, const std::string& text) {
    if (::ftruncate(fd, 0) != 0) return;
    const std::string_view shown = std::string_view(text).substr(0, maxLockText);
    (void)!::pwrite(fd, shown.data(), shown.size(), 0);
}

// "reopen" and the arguments, one a line.
QByteArray requestText(const std::vector<std::string>& arguments) {
    QByteArray text(SingleInstance::reopenMessage);
    for (const std::string& a : arguments) text += '\n' + QByteArray::fromStdString(a);
    return text;
}

// The arguments of a valid request (a final newline allowed), or none.
std::optional<std::vector<std::string>> requestArguments(const QByteArray& request) {
    QList<QByteArray> lines = request.split('\n');
    if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
    if (lines.front() != SingleInstance::reopenMessage) return std::nullopt;
    std::vector<std::string> out;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) return std::nullopt;
        out.push_back(lines[i].toStdString());
    }
    return out;
}

bool fromSameUser(const QLocalSocket& socket) {
    ucred cred{};
    socklen_t len = sizeof cred;
    const auto fd = static_cast<int>(socket.socketDescriptor());
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

}  // namespace

std::optional<std::filesystem::path> SingleInstance::runtimeDir(std::string& problem) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (runtime != nullptr && *runtime != '\0' && std::filesystem::is_directory(runtime, ec)) return runtime;
    // The shared temporary folder is open to everyone: only a folder of this user's own in it
    // keeps another user from taking the lock or the socket first.
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec) / userTag();
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = "cannot create the runtime folder " + dir.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) {
        problem = "cannot use the runtime folder " + dir.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 0077) != 0) {
        problem = "the runtime folder " + dir.string() +
                  " is not a folder of this user's own that only this user may enter (mode 0700); "
                  "set XDG_RUNTIME_DIR or remove it";
        return std::nullopt;
    }
    return dir;
}

SingleInstance::Acquired SingleInstance::acquire(const std::filesystem::path& runtimeDir,
                                                 const std::vector<std::string>& arguments, ReopenHandler onReopen) {
    const std::filesystem::path lockPath = runtimeDir / (userTag() + ".lock");
    const std::filesystem::path socketPath = runtimeDir / (userTag() + ".socket");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return {nullptr, "cannot write in the runtime folder " + runtimeDir.string() + ": " + std::strerror(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return {std::unique_ptr<SingleInstance>(new SingleInstance(fd, socketPath, std::move(onReopen))), std::nullopt};
    }
    const int error = errno;
    const std::string unreachable = error == EWOULDBLOCK ? lockText(fd) : std::string();
    ::close(fd);
    if (error != EWOULDBLOCK) return {nullptr, "cannot lock " + lockPath.string() + ": " + std::strerror(error)};
    if (!unreachable.empty()) return {nullptr, "Marrowick already runs but cannot be reached: it " + unreachable};
    // Another instance holds the lock: hand it the request. Either way this one does not run.
    const QByteArray message = requestText(arguments);
    if (message.size() > maxRequestBytes) return {nullptr, "too many arguments to hand to the running Marrowick"};
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath.string()));
    if (socket.waitForConnected(1000) && socket.write(message) == message.size() && socket.waitForBytesWritten(1000)) {
        socket.disconnectFromServer();
        return {nullptr, std::nullopt};
    }
    return {nullptr, "Marrowick already runs but did not answer at " + socketPath.string() + " (" +
                         socket.errorString().toStdString() + ")"};
}

SingleInstance::SingleInstance(int lockFd, std::filesystem::path socketPath, ReopenHandler onReopen)
    : lockFd_(lockFd), socketPath_(std::move(socketPath)), onReopen_(std::move(onReopen)) {
    const QString name = QString::fromStdString(socketPath_.string());
    QLocalServer::removeServer(name);  // a socket left by a crashed instance
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name)) {
        const std::string why =
            "could not listen at " + socketPath_.string() + " (" + server_.errorString().toStdString() + ")";
        listenProblem_ = "Marrowick runs, but later launches cannot reach it: it " + why;
        setLockText(lockFd_, why);
        return;
    }
    setLockText(lockFd_, {});  // a crashed instance's reason is not ours
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { accept(); });
}

SingleInstance::~SingleInstance() {
    server_.close();
    ::close(lockFd_);
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        // Every connection holds a descriptor: a few at a time, from this user only.
        if (connections_ >= maxConnections || !fromSameUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        QObject::connect(socket, &QObject::destroyed, &server_, [this] { --connections_; });
        const auto drop = [socket] {
            socket->disconnect(socket);  // its handlers have nothing left to read
            socket->abort();
            socket->deleteLater();
        };
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto* timeout = new QTimer(socket);  // owned by the socket
        timeout->setSingleShot(true);
        QObject::connect(timeout, &QTimer::timeout, socket, drop);
        timeout->start(requestTimeoutMs);
        // The request is tiny: anything longer is not one, and is not kept.
        socket->setReadBufferSize(maxRequestBytes);
        auto request = std::make_shared<QByteArray>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, request, drop] {
            request->append(socket->read(maxRequestBytes + 1 - request->size()));
            if (request->size() > maxRequestBytes) drop();
        });
        // Read once the sender is done.
        QObject::connect(socket, &QLocalSocket::readChannelFinished, socket, [this, socket, request, drop] {
            request->append(socket->read(maxRequestBytes + 1 - request->size()));
            const auto given = requestArguments(*request);
            drop();
            if (given) onReopen_(*given);
        });
    }
}

}  // namespace marrowick
