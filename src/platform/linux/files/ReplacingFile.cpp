#include "platform/ReplacingFile.h"

#include "platform/Log.h"
#include "platform/NativeText.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

constexpr qint64 kCopyBlock = 1 << 20;

/// The file a target names: the file of a link (even one that does not exist yet), else the target.
QString resolvedTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink()) return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A temporary file this old was left by a writer that was killed: no write of ours takes this long.
constexpr int kAbandonedAfterSeconds = 600;

/// Removes the temporary files earlier writers of the same target left when they were killed (the same
/// name this writer gives, this user's, older than kAbandonedAfterSeconds), so that none piles up beside
/// the user's settings.
void removeAbandoned(const QString& folder, const QString& fileName, const QString& own)
{
    const QString prefix = QStringLiteral(".") + fileName + QLatin1Char('.');
    const QStringList names =
        QDir(folder).entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString rest = name.mid(prefix.size());
        bool hex = rest.size() == 8;
        for (const QChar c : rest) hex = hex && ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'));
        const QString path = folder + QLatin1Char('/') + name;
        struct stat st {};
        if (!hex || path == own || ::lstat(nativeBytes(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::getuid() || std::time(nullptr) - st.st_mtime < kAbandonedAfterSeconds)
            continue;
        ::unlink(nativeBytes(path).constData());
    }
}

bool writeAll(int fd, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC; // a file system that takes nothing and says nothing is full
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

ReplacingFile::ReplacingFile(QString target) : target_(resolvedTarget(target)) {}

ReplacingFile::~ReplacingFile()
{
    if (!committed_) cancel();
}

QString ReplacingFile::reasonFor(int error, const QString& folder)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    case EACCES:
    case EPERM:
        return QStringLiteral("there is no permission to write in %1").arg(folder);
    case EROFS:
        return QStringLiteral("%1 is on a read-only disk").arg(folder);
    case EFBIG:
        return QStringLiteral("the file is larger than the disk allows");
    case EIO:
        return QStringLiteral("the disk reported an error");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool ReplacingFile::diskIsFull(const QString& path)
{
    // Less room than this is too little for any PDF page: a document that came out short ran into it.
    constexpr qint64 kNearlyFull = 256 * 1024;
    struct statvfs disk {};
    return ::statvfs(nativeBytes(path).constData(), &disk) == 0 &&
           static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_frsize) < kNearlyFull;
}

bool ReplacingFile::fail(int error)
{
    problem_ = reasonFor(error, QFileInfo(target_).absolutePath());
    qCDebug(log::associations) << "file" << target_ << "was not replaced:" << problem_;
    cancel();
    return false;
}

bool ReplacingFile::open()
{
    cancel();
    problem_.clear();
    committed_ = false;
    const QFileInfo info(target_);
    const QString folder = info.absolutePath();
    if (::mkdir(nativeBytes(folder).constData(), 0700) != 0 && errno != EEXIST) {
        // Only the last folder is made here: a missing parent is for the caller to make.
        if (!QFileInfo(folder).isDir()) return fail(errno);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            folder + QStringLiteral("/.") + info.fileName() +
            QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        // 0666 less the user's umask, as any new file of theirs: a replaced file then takes the old mode.
        fd_ =
            ::open(nativeBytes(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ >= 0) {
            temporary_ = name;
            break;
        }
        if (errno != EEXIST) return fail(errno);
    }
    if (fd_ < 0) return fail(EEXIST);
    removeAbandoned(folder, info.fileName(), temporary_);
    struct stat old {};
    if (::stat(nativeBytes(target_).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd_, old.st_mode & 07777); // a mode that cannot be kept still leaves a readable file
    return true;
}

bool ReplacingFile::write(const QByteArray& bytes)
{
    if (fd_ < 0) return false;
    if (!writeAll(fd_, bytes.constData(), bytes.size())) return fail(errno);
    return true;
}

bool ReplacingFile::copyFrom(const QString& path)
{
    if (fd_ < 0) return false;
    const int source = ::open(nativeBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        problem_ =
            QStringLiteral("%1 cannot be read (%2)").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        cancel();
        return false;
    }
    QByteArray block(kCopyBlock, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(source, block.data(), static_cast<std::size_t>(block.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(source);
            return fail(error);
        }
        if (n == 0) break;
        if (!writeAll(fd_, block.constData(), n)) {
            const int error = errno;
            ::close(source);
            return fail(error);
        }
    }
    ::close(source);
    return true;
}

bool ReplacingFile::finishWriting()
{
    if (written_) return true;
    if (fd_ < 0) return false;
    // The sync is where a file system that accepted the writes into its cache says it had no room.
    if (::fsync(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    written_ = true;
    return true;
}

void ReplacingFile::committedTo(const QString& target)
{
    committed_ = true;
    written_ = false;
    temporary_.clear();
    // The rename itself reaches the disk with the folder; a folder that cannot be synced loses nothing now.
    const int folder =
        ::open(nativeBytes(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

bool ReplacingFile::commit()
{
    if (!finishWriting()) return false;
    if (::rename(nativeBytes(temporary_).constData(), nativeBytes(target_).constData()) != 0)
        return fail(errno);
    committedTo(target_);
    return true;
}

bool ReplacingFile::commitNew()
{
    taken_ = false;
    if (!finishWriting()) return false;
    const QByteArray from = nativeBytes(temporary_);
    const QByteArray to = nativeBytes(target_);
    // The kernel's no-replace rename; where the file system has none, a hard link, which fails on an
    // existing name just the same, and then the temporary name goes.
    int done = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (done != 0 && (errno == EINVAL || errno == ENOSYS)) {
        done = ::link(from.constData(), to.constData());
        if (done == 0) ::unlink(from.constData());
    }
    if (done != 0) {
        if (errno != EEXIST) return fail(errno);
        taken_ = true;
        return false;
    }
    committedTo(target_);
    return true;
}

void ReplacingFile::cancel()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    written_ = false;
    if (!temporary_.isEmpty()) ::unlink(nativeBytes(temporary_).constData());
    temporary_.clear();
}

bool ReplacingFile::replace(const QString& path, const QByteArray& bytes, QString* problem)
{
    ReplacingFile file(path);
    const bool done = file.open() && file.write(bytes) && file.commit();
    if (problem) *problem = file.problem();
    return done;
}

} // namespace quillon::platform
