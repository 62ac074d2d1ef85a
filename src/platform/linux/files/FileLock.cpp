#include "platform/linux/files/FileLock.h"

#include "platform/NativeText.h"

#include <QElapsedTimer>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillon::platform {

FileLock FileLock::onFile(const QString& path)
{
    return FileLock(::open(nativeBytes(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
}

FileLock FileLock::onFolder(const QString& path)
{
    return FileLock(::open(nativeBytes(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

FileLock::~FileLock()
{
    if (fd_ >= 0) ::close(fd_);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

bool FileLock::tryLock(int timeoutMs)
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

} // namespace quillon::platform
