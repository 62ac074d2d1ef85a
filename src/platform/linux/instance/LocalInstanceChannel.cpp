#include "platform/linux/instance/LocalInstanceChannel.h"

#include "platform/Log.h"
#include "platform/linux/files/FileLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

const QByteArray kTaken = "TAKEN\n";
const QByteArray kDone = "DONE\n";
const QByteArray kFail = "FAIL\n";

// A folder that only this user can enter: anyone else could otherwise plant or read the socket.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == getuid() && (st.st_mode & 0077) == 0;
}

bool fillAddress(const QString& path, sockaddr_un& address, socklen_t& length)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || native.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return false;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<std::size_t>(native.size()) + 1);
    return true;
}

/// Waits until fd is ready for `events`; false when the deadline passes first or polling fails.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd watched{fd, events, 0};
        const qint64 left = deadline.remainingTime();
        const int ready =
            ::poll(&watched, 1, left < 0 ? -1 : static_cast<int>(std::min<qint64>(left, INT_MAX)));
        if (ready > 0) return true; // an error or hang-up shows in the call that follows
        if (ready == 0 || errno != EINTR) return false;
    }
}

/// A connected socket to the listener at path, or -1 when nobody listens there or no room opens in time.
int connectTo(const QString& path, int timeoutMs)
{
    sockaddr_un address;
    socklen_t length = 0;
    if (!fillAddress(path, address, length)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return fd;
        // A full queue of waiting connections refuses for now rather than for good: try again shortly.
        if ((errno != EAGAIN && errno != EINTR) || deadline.hasExpired()) break;
        ::usleep(2000);
    }
    ::close(fd);
    return -1;
}

bool writeAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline)
{
    qsizetype done = 0;
    while (done < data.size()) {
        // MSG_NOSIGNAL: a peer that has gone gives an error here, not a signal that ends the program.
        const ssize_t n =
            ::send(fd, data.constData() + done, static_cast<std::size_t>(data.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

/// Reads up to and including the first line end (at most `most` bytes); what came when the peer closed or
/// the deadline passed.
QByteArray readLine(int fd, qsizetype most, const QDeadlineTimer& deadline)
{
    QByteArray line;
    char c = 0;
    while (line.size() < most) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n == 1) {
            line.append(c);
            if (c == '\n') break;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd, POLLIN, deadline)) break;
        } else {
            break;
        }
    }
    return line;
}

} // namespace

LocalInstanceChannel::LocalInstanceChannel(QString name, QString folder, int handOffTimeoutMs,
                                           int answerTimeoutMs)
    : name_(std::move(name)), folder_(std::move(folder)), handOffTimeoutMs_(handOffTimeoutMs),
      answerTimeoutMs_(answerTimeoutMs)
{
}

LocalInstanceChannel::~LocalInstanceChannel()
{
    for (const std::unique_ptr<Client>& client : clients_) {
        client->notifier.reset();
        ::close(client->fd);
    }
    listening_.reset();
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(QFile::encodeName(socketPath()).constData());
    }
}

QString LocalInstanceChannel::socketPath() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".socket");
}

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
        if (mkdir(native.constData(), 0700) != 0 && !QFileInfo::exists(folder_)) {
            problem_ = QStringLiteral("the folder %1 for the single-instance channel cannot be made (%2)")
                           .arg(folder_, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    if (isPrivateFolder(folder_)) return true;
    // Someone else's folder, or one others can enter, could hold a socket planted to take the hand-off.
    problem_ =
        QStringLiteral("the folder %1 for the single-instance channel belongs to another user or is open "
                       "to others, so it is not used")
            .arg(folder_);
    return false;
}

InstanceChannel::Claim LocalInstanceChannel::claim()
{
    problem_.clear();
    if (listener_ >= 0) return Claim::First;
    if (!ensureFolder()) return Claim::Unavailable;
    // The lock makes connect-or-listen one step: of two copies starting together, the second to get the
    // lock finds the first one listening. A copy that died holds no lock. (Not the ".lock" name earlier
    // builds kept a lock file under: those would take an empty file left here for a held lock.)
    FileLock lock = FileLock::onFile(folder_ + QLatin1Char('/') + name_ + QStringLiteral(".flock"));
    if (!lock.tryLock(15000)) {
        problem_ = QStringLiteral("the single-instance lock in %1 could not be taken").arg(folder_);
        return Claim::Unavailable;
    }

    if (const int probe = connectTo(socketPath(), 2000); probe >= 0) {
        ::close(probe);
        return Claim::Running;
    }
    // Nobody answers: whatever socket file is there was left by a copy that died.
    const QByteArray native = QFile::encodeName(socketPath());
    ::unlink(native.constData());
    sockaddr_un address;
    socklen_t length = 0;
    const int fd = fillAddress(socketPath(), address, length)
                       ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)
                       : -1;
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(fd, 64) != 0) {
        problem_ = QStringLiteral("the single-instance socket %1 cannot be made (%2)")
                       .arg(socketPath(), QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) ::close(fd);
        return Claim::Unavailable;
    }
    ::chmod(native.constData(), 0600);
    listener_ = fd;
    listening_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(listening_.get(), &QSocketNotifier::activated, this, &LocalInstanceChannel::accept);
    return Claim::First;
}

bool LocalInstanceChannel::handOff(const HandOffRecord& request)
{
    problem_.clear();
    const QByteArray record = request.encode();
    if (record.size() > HandOffRecord::kMostBytes) {
        problem_ = QStringLiteral("the command line is too long to hand over");
        return false;
    }
    const int fd = connectTo(socketPath(), answerTimeoutMs_);
    QByteArray answer;
    if (fd >= 0 && writeAll(fd, record, QDeadlineTimer(answerTimeoutMs_))) {
        answer = readLine(fd, 64, QDeadlineTimer(answerTimeoutMs_));
        if (answer == kTaken) answer = readLine(fd, 64, QDeadlineTimer(handOffTimeoutMs_));
    }
    if (fd >= 0) ::close(fd);
    if (answer == kDone) return true;
    const auto seconds = [](int ms) { return QString::number((ms + 999) / 1000); };
    if (answer == kFail)
        problem_ = QStringLiteral("the running copy could not take over this start");
    else if (answer.isEmpty())
        problem_ =
            QStringLiteral("the running copy did not answer within %1 seconds (it may be stopped or hung)")
                .arg(seconds(answerTimeoutMs_));
    else
        problem_ = QStringLiteral("the running copy took this start but did not finish it within %1 seconds")
                       .arg(seconds(handOffTimeoutMs_));
    qCDebug(log::instance) << "hand-off to the running copy failed:" << problem_;
    return false;
}

void LocalInstanceChannel::setHandOffHandler(std::function<bool(const HandOffRecord&)> handler)
{
    handler_ = std::move(handler);
    servePending();
}

void LocalInstanceChannel::accept()
{
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return; // none left waiting (or none can be taken now: the notifier calls again)
        }
        // Only this user's own processes are heard, whatever the folder's permissions have become.
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::getuid()) {
            qCDebug(log::instance) << "a hand-off from a process of user" << peer.uid
                                   << "was refused: not this user's";
            ::close(fd);
            continue;
        }
        auto client = std::make_unique<Client>();
        client->fd = fd;
        client->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        Client* added = client.get();
        connect(added->notifier.get(), &QSocketNotifier::activated, this, [this, added] { readFrom(added); });
        clients_.push_back(std::move(client));
    }
}

void LocalInstanceChannel::readFrom(Client* client)
{
    char buffer[4096];
    HandOffRecord::Parse parse = HandOffRecord::Parse::Incomplete;
    for (;;) {
        const ssize_t n = ::read(client->fd, buffer, sizeof buffer);
        if (n > 0) {
            client->received.append(buffer, n);
            parse = HandOffRecord::decode(client->received, client->request);
            if (parse == HandOffRecord::Parse::Whole) break;
            if (parse == HandOffRecord::Parse::Broken) {
                qCDebug(log::instance)
                    << "a hand-off request that is not one of ours was dropped:" << client->received.left(80);
                return drop(client);
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return; // the rest of the request is still on its way
        } else {
            // A later start's liveness probe connects and closes without a word; only a cut request is news.
            if (!client->received.isEmpty())
                qCDebug(log::instance)
                    << "a hand-off connection closed before its request was whole: dropped";
            return drop(client);
        }
    }
    // One request per connection: nothing more is read from it. The second copy hears at once that this copy
    // is alive and has its request, even while the request waits for its turn, the window or a message box.
    // A second copy that has gone already gave up on this copy (it was stopped, say) and told its user so:
    // its request is dropped rather than acted on late.
    client->notifier->setEnabled(false);
    client->received.clear();
    if (::send(client->fd, kTaken.constData(), static_cast<std::size_t>(kTaken.size()), MSG_NOSIGNAL) < 0)
        return drop(client);
    waiting_.push_back(client);
    servePending();
}

void LocalInstanceChannel::servePending()
{
    // One at a time, in the order they came: a handler may process events (a message box, a pause), and a
    // request that arrives meanwhile only joins the queue. Each start's own command line is then handled
    // whole before the next one's, and each start hears "done" only once its own was.
    if (!handler_ || serving_) return;
    serving_ = true;
    while (!waiting_.empty() && handler_) {
        Client* client = waiting_.front();
        waiting_.pop_front();
        const bool ok = handler_(client->request);
        if (!ok)
            qCDebug(log::instance) << "a hand-off was refused: the request names no window of this copy"
                                   << client->request.windowTitle << "or the program is ending";
        const QByteArray& reply = ok ? kDone : kFail;
        ::send(client->fd, reply.constData(), static_cast<std::size_t>(reply.size()), MSG_NOSIGNAL);
        drop(client);
    }
    serving_ = false;
}

void LocalInstanceChannel::drop(Client* client)
{
    client->notifier->setEnabled(false);
    ::close(client->fd);
    // The notifier may be the sender of the call in progress: the event loop deletes it afterwards.
    client->notifier.release()->deleteLater();
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), client), waiting_.end());
    clients_.remove_if([client](const std::unique_ptr<Client>& c) { return c.get() == client; });
}

} // namespace quillon::platform
