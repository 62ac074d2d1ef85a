#pragma once
// A font file opened read-only for fixed-size reads at given positions. Reads never fail for lying past the
// end of the file: what the file does not hold reads as zero bytes, so a truncated or lying file cannot
// make the reader touch memory or positions it should not. Only a real I/O error fails a read.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillon {

class PositionedFile {
public:
    PositionedFile() = default;
    ~PositionedFile();
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    /// Opens `path` for reading. Only regular files are accepted: a pipe or device could block or never end.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    /// Size of the file in bytes when it was opened.
    std::uint64_t size() const { return size_; }

    /// Fills buffer[0, length) from file position `offset`; bytes past the end of the file are zero.
    /// False only on an I/O error (the buffer is then zeroed from the failing part on).
    bool read(std::uint64_t offset, void* buffer, std::size_t length) const;
    /// True when the `length` bytes from `offset` all lie inside the file.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace quillon
