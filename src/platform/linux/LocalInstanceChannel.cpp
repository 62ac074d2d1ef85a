#include "platform/linux/LocalInstanceChannel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

const QByteArray kRequest = "ACTIVATE ";
const QByteArray kDone = "DONE\n";
const QByteArray kFail = "FAIL\n";
constexpr int kMaxLine = 4096;

// A folder that only this user can enter: anyone else could otherwise plant or read the socket.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == getuid() && (st.st_mode & 0077) == 0;
}

/// An exclusive lock on a file in the private folder, held until destroyed. The system drops it when the
/// process ends, however it ends, so a copy that was killed never leaves it held; and taking it writes
/// nothing to disk.
class FolderLock {
public:
    explicit FolderLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
    {
    }
    ~FolderLock()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool tryLock(int timeoutMs)
    {
        if (fd_ < 0) return false;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
            if (errno != EWOULDBLOCK && errno != EINTR) return false;
            if (clock.elapsed() >= timeoutMs) return false;
            ::usleep(1000);
        }
    }

private:
    int fd_;
};

} // namespace

LocalInstanceChannel::LocalInstanceChannel(QString name, QString folder, int handOffTimeoutMs)
    : name_(std::move(name)), folder_(std::move(folder)), handOffTimeoutMs_(handOffTimeoutMs)
{
}

LocalInstanceChannel::~LocalInstanceChannel() = default;

QString LocalInstanceChannel::socketPath() const { return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".socket"); }

bool LocalInstanceChannel::ensureFolder()
{
    if (folder_.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty() && isPrivateFolder(runtime))
            folder_ = runtime;
        else
            folder_ = QDir::tempPath() + QStringLiteral("/%1-%2").arg(name_).arg(getuid());
    }
    if (!QFileInfo::exists(folder_)) {
        const QByteArray native = QFile::encodeName(folder_);
        if (mkdir(native.constData(), 0700) != 0 && !QFileInfo::exists(folder_)) return false;
    }
    return isPrivateFolder(folder_);
}

InstanceChannel::Claim LocalInstanceChannel::claim()
{
    if (!ensureFolder()) return Claim::Unavailable;
    // The lock makes connect-or-listen one step: of two copies starting together, the second to get the
    // lock finds the first one listening. A copy that died holds no lock. (Not the ".lock" name earlier
    // builds kept a lock file under: those would take an empty file left here for a held lock.)
    FolderLock lock(folder_ + QLatin1Char('/') + name_ + QStringLiteral(".flock"));
    if (!lock.tryLock(15000)) return Claim::Unavailable;

    QLocalSocket probe;
    probe.connectToServer(socketPath());
    if (probe.waitForConnected(2000)) {
        probe.disconnectFromServer();
        return Claim::Running;
    }
    // Nobody answers: whatever socket file is there was left by a copy that died.
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) {
        server_.reset();
        return Claim::Unavailable;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &LocalInstanceChannel::accept);
    return Claim::First;
}

bool LocalInstanceChannel::handOff(const QString& windowTitle)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(5000)) return false;
    socket.write(kRequest + windowTitle.toUtf8().left(kMaxLine - 16) + '\n');
    if (!socket.waitForBytesWritten(5000)) return false;
    QElapsedTimer clock;
    clock.start();
    while (!socket.canReadLine()) {
        const qint64 left = handOffTimeoutMs_ - clock.elapsed();
        if (left <= 0 || socket.state() != QLocalSocket::ConnectedState) return false;
        socket.waitForReadyRead(static_cast<int>(left));
    }
    return socket.readLine(64) == kDone;
}

void LocalInstanceChannel::setHandOffHandler(std::function<bool(const QString&)> handler)
{
    handler_ = std::move(handler);
    servePending();
}

void LocalInstanceChannel::accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        if (socket->canReadLine()) serve(socket);
    }
}

void LocalInstanceChannel::serve(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->abort(); // not one of ours
        return;
    }
    if (!handler_) {
        if (!waiting_.contains(socket)) waiting_.append(socket);
        return;
    }
    const QByteArray line = socket->readLine(kMaxLine).trimmed();
    bool ok = false;
    if (line.startsWith(kRequest.trimmed())) ok = handler_(QString::fromUtf8(line.mid(kRequest.size())));
    if (socket->state() == QLocalSocket::ConnectedState) {
        socket->write(ok ? kDone : kFail);
        socket->flush();
        socket->disconnectFromServer();
    }
}

void LocalInstanceChannel::servePending()
{
    if (!handler_) return;
    const auto waiting = std::exchange(waiting_, {});
    for (const QPointer<QLocalSocket>& socket : waiting)
        if (socket) serve(socket);
}

} // namespace quillon::platform
