#include "fontfile/PositionedFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

PositionedFile::~PositionedFile() { close(); }

bool PositionedFile::open(const QString& path)
{
    close();
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty()) return false;
    // O_NONBLOCK so that opening a FIFO someone named as a font cannot wait for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

void PositionedFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

bool PositionedFile::read(std::uint64_t offset, void* buffer, std::size_t length) const
{
    if (fd_ < 0) return false;
    if (length == 0) return true;
    auto* out = static_cast<unsigned char*>(buffer);
    std::memset(out, 0, length);
    if (offset >= size_) return true;
    const std::uint64_t inside = std::min<std::uint64_t>(length, size_ - offset);
    std::size_t done = 0;
    while (done < inside) {
        const ssize_t got = ::pread(fd_, out + done, static_cast<std::size_t>(inside - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            std::memset(out + done, 0, length - done);
            return false;
        }
        if (got == 0) break; // the file shrank since it was opened: the rest stays zero
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace quillon
