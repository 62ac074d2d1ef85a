#include "platform/ReadableFile.h"

#include "platform/NativeText.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

QString reasonFor(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("no such file");
    case ENOTDIR:
        return QStringLiteral("no such file (a part of the path is not a folder)");
    case EACCES:
    case EPERM:
        return QStringLiteral("no permission to read it");
    case ELOOP:
        return QStringLiteral("too many symbolic links");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace

PathKind pathKind(const QString& path)
{
    const QByteArray native = nativeBytes(path);
    struct stat st {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0) return PathKind::Missing;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

std::optional<qint64> readableFileSize(const QString& path)
{
    const QByteArray native = nativeBytes(path);
    if (native.isEmpty()) return std::nullopt;
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!regular) return std::nullopt;
    return static_cast<qint64>(st.st_size);
}

QString whyNotReadable(const QString& path)
{
    const QByteArray native = nativeBytes(path);
    if (native.isEmpty()) return QStringLiteral("no such file");
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) return reasonFor(errno);
    if (S_ISDIR(st.st_mode)) return QStringLiteral("is a folder, not a file");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("not a regular file");
    // Opened, not merely tested with access(): that is the answer the reader will get. Non-blocking, in
    // case the file was swapped for a pipe since the look above.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return reasonFor(errno);
    ::close(fd);
    return QString();
}

} // namespace quillon::platform
