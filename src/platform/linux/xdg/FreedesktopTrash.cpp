#include "platform/linux/xdg/FreedesktopTrash.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

/// A folder of the trash that must be the user's own: made when missing (with its parents), refused when
/// it is a link or someone else's, since another user could then read what is thrown away.
bool ownFolder(const QString& path)
{
    const QByteArray bytes = nativeBytes(path);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0) {
        if (!QDir().mkpath(path)) return false;
        ::chmod(bytes.constData(), 0700);
        return ::lstat(bytes.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

/// The top folder of the disk that holds `folder`: the highest folder above it on the same device.
QString topOfDisk(const QString& folder, dev_t device)
{
    QString top = QDir::cleanPath(folder);
    for (;;) {
        const QString parent = QFileInfo(top).absolutePath();
        struct stat st {};
        if (parent == top || ::stat(nativeBytes(parent).constData(), &st) != 0 || st.st_dev != device)
            return top;
        top = parent;
    }
}

} // namespace

FreedesktopTrash::FreedesktopTrash(QString dataHome) : dataHome_(std::move(dataHome)) {}

QByteArray FreedesktopTrash::escapedPath(const QByteArray& path)
{
    // RFC 2396's unreserved characters and the path's own separators stay; every other byte is escaped.
    return path.toPercentEncoding("/!$&'()*+,;=:@~", QByteArray(), '%');
}

QString FreedesktopTrash::trashFor(const QString& folder, dev_t device, QString* topdir, QString* problem)
{
    // The home trash, when the file is on its disk (its folder need not exist yet: the data folder's does).
    QString home = dataHome_;
    struct stat st {};
    while (!home.isEmpty() && ::stat(nativeBytes(home).constData(), &st) != 0) {
        const QString parent = QFileInfo(home).absolutePath();
        if (parent == home) break;
        home = parent;
    }
    if (!home.isEmpty() && st.st_dev == device) {
        topdir->clear();
        return dataHome_ + QStringLiteral("/Trash");
    }
    // The trash of the file's own disk.
    const QString top = topOfDisk(folder, device);
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral("/.Trash");
    // An administrator's .Trash counts only as a real folder with the sticky bit, never through a link.
    if (::lstat(nativeBytes(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString own = shared + QLatin1Char('/') + uid;
        if (ownFolder(own)) {
            *topdir = top;
            return own;
        }
    }
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    if (ownFolder(own)) {
        *topdir = top;
        return own;
    }
    *problem = QStringLiteral("the disk holding %1 has no trash the program may use").arg(folder);
    return {};
}

bool FreedesktopTrash::trash(const QString& path, QString* problem, QString* trashedAs)
{
    QString reason;
    const auto fail = [&](const QString& why) {
        qCDebug(log::catalogue) << "not moved to the trash:" << path << "-" << why;
        if (problem) *problem = why;
        return false;
    };
    const QString file = QFileInfo(path).absoluteFilePath();
    const QString folder = QFileInfo(file).absolutePath();
    struct stat st {};
    if (::lstat(nativeBytes(file).constData(), &st) != 0)
        return fail(QStringLiteral("%1 cannot be found").arg(file));
    if (S_ISDIR(st.st_mode)) return fail(QStringLiteral("%1 is a folder, not a font file").arg(file));
    QString topdir;
    const QString trash = trashFor(folder, st.st_dev, &topdir, &reason);
    if (trash.isEmpty()) return fail(reason);
    const QString files = trash + QStringLiteral("/files");
    const QString info = trash + QStringLiteral("/info");
    if (!ownFolder(trash) || !ownFolder(files) || !ownFolder(info))
        return fail(QStringLiteral("the trash folder %1 cannot be used").arg(trash));

    // The name in the trash: the file's own, or with a number before its extension when it is taken.
    const QFileInfo named(file);
    const QString stem = named.completeBaseName();
    const QString suffix = named.suffix().isEmpty() ? QString() : QLatin1Char('.') + named.suffix();
    QByteArray stored = nativeBytes(file);
    if (!topdir.isEmpty()) stored = nativeBytes(QDir(topdir).relativeFilePath(file));
    const QByteArray contents =
        "[Trash Info]\nPath=" + escapedPath(stored) + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const QString name =
            n == 1 ? named.fileName() : QStringLiteral("%1.%2%3").arg(stem).arg(n).arg(suffix);
        const QString infoFile = info + QLatin1Char('/') + name + QStringLiteral(".trashinfo");
        const QByteArray infoBytes = nativeBytes(infoFile);
        const int fd =
            ::open(infoBytes.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return fail(ReplacingFile::reasonFor(errno, info));
        }
        const bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
        const int error = errno;
        ::close(fd);
        if (!written) {
            ::unlink(infoBytes.constData());
            return fail(ReplacingFile::reasonFor(error, info));
        }
        const QString target = files + QLatin1Char('/') + name;
        // A name an earlier trashing left without its info file is not taken over.
        if (::lstat(nativeBytes(target).constData(), &st) == 0) {
            ::unlink(infoBytes.constData());
            continue;
        }
        if (::rename(nativeBytes(file).constData(), nativeBytes(target).constData()) != 0) {
            const int renameError = errno;
            ::unlink(infoBytes.constData());
            if (renameError == EXDEV)
                return fail(QStringLiteral("the trash is on another disk than %1").arg(file));
            return fail(ReplacingFile::reasonFor(renameError, folder));
        }
        qCDebug(log::catalogue) << "moved to the trash:" << file << "as" << target;
        if (trashedAs) *trashedAs = target;
        return true;
    }
    return fail(QStringLiteral("the trash holds too many files named %1").arg(named.fileName()));
}

} // namespace quillon::platform
