#include "sfnt/Source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::sfnt {

std::vector<std::uint8_t> Source::bytes(std::uint64_t offset, std::size_t length) const
{
    std::vector<std::uint8_t> out(length);
    if (!read(offset, out.data(), length)) return {};
    return out;
}

bool MemorySource::read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const
{
    if (length == 0) return true; // `out` may then be null
    const std::uint64_t inside =
        offset < bytes_.size() ? std::min<std::uint64_t>(length, bytes_.size() - offset) : 0;
    if (inside > 0) std::memcpy(out, bytes_.data() + offset, static_cast<std::size_t>(inside));
    std::memset(out + inside, 0, length - static_cast<std::size_t>(inside));
    return true;
}

FileSource::~FileSource() { close(); }

bool FileSource::open(const QByteArray& nativePath)
{
    close();
    if (nativePath.isEmpty()) return false;
    // O_NONBLOCK so that opening a FIFO someone named as a font cannot wait for a writer.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    prefetch(0, kFirstPage);
    return true;
}

void FileSource::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    ahead_.clear();
    aheadStart_ = 0;
}

bool FileSource::prefetch(std::uint64_t offset, std::size_t length) const
{
    ahead_.clear();
    if (fd_ < 0) return false;
    if (offset >= size_) return true;
    const auto inside =
        static_cast<std::size_t>(std::min<std::uint64_t>({length, kMostReadAhead, size_ - offset}));
    ahead_.resize(inside);
    aheadStart_ = offset;
    if (!readFromFile(offset, ahead_.data(), inside)) {
        ahead_.clear();
        return false;
    }
    return true;
}

bool FileSource::read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const
{
    if (fd_ < 0) return false;
    if (length == 0) return true;
    if (offset >= aheadStart_ && offset - aheadStart_ <= ahead_.size() &&
        length <= ahead_.size() - (offset - aheadStart_)) {
        std::memcpy(out, ahead_.data() + (offset - aheadStart_), length);
        return true;
    }
    return readFromFile(offset, out, length);
}

bool FileSource::readFromFile(std::uint64_t offset, std::uint8_t* out, std::size_t length) const
{
    const std::uint64_t inside = offset < size_ ? std::min<std::uint64_t>(length, size_ - offset) : 0;
    std::size_t done = 0;
    bool ok = true;
    while (done < inside) {
        const ssize_t got = ::pread(fd_, out + done, static_cast<std::size_t>(inside - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break; // an error, or the file shrank since it was opened: the rest reads as zero
        done += static_cast<std::size_t>(got);
    }
    std::memset(out + done, 0, length - done);
    return ok;
}

} // namespace quillon::sfnt
