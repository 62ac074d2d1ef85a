#pragma once
// A font file opened read-only for fixed-size reads at given positions. Reads never fail for lying past the
// end of the file: what the file does not hold reads as zero bytes, so a truncated or lying file cannot
// make the reader touch memory or positions it should not. Only a real I/O error fails a read.
//
// A stretch of the file can be read ahead in one system call (the first page, where the offset table,
// the directory and usually "head" and "OS/2" lie; the whole "name" table): reads that fall wholly inside
// it are then served from memory. A system call costs more than the few kilobytes it brings.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

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
    /// Reads up to `length` bytes from `offset` (no more than the file holds, at most kMostReadAhead) for
    /// later reads to use; replaces what was read ahead before. False only on an I/O error.
    bool readAhead(std::uint64_t offset, std::size_t length);
    static constexpr std::size_t kMostReadAhead = 1 << 20;

    /// True when the `length` bytes from `offset` all lie inside the file.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }

private:
    bool readFromFile(std::uint64_t offset, unsigned char* out, std::size_t length) const;

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t aheadStart_ = 0;
    std::vector<unsigned char> ahead_; // bytes [aheadStart_, aheadStart_ + size), all inside the file
};

} // namespace quillon
