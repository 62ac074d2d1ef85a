#pragma once
// Where the bytes of a font come from: a file read at positions (fonts can be tens of megabytes, of which
// the names and style bits need a few kilobytes) or bytes already in memory (tests, fuzzing, a file some
// other part of the program has read).
//
// Reads never fail for lying past the end: what the source does not hold reads as zero bytes, so a
// truncated or lying file cannot make a parser touch memory or positions it should not. Only a real I/O
// error fails a read.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillon::sfnt {

class Source {
public:
    virtual ~Source() = default;
    /// Size in bytes (of a file: when it was opened).
    virtual std::uint64_t size() const = 0;
    /// Fills out[0, length) from position `offset`; bytes past the end are zero. False only on an I/O error
    /// (the buffer is then zeroed from the failing part on).
    virtual bool read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const = 0;
    /// A hint that the `length` bytes from `offset` will be read soon, in pieces. False only on an I/O error.
    virtual bool prefetch(std::uint64_t, std::size_t) const { return true; }

    /// True when the `length` bytes from `offset` all lie inside the source.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size() && length <= size() - offset;
    }
    /// `length` bytes from `offset` in a buffer of their own (zero past the end); empty on an I/O error.
    std::vector<std::uint8_t> bytes(std::uint64_t offset, std::size_t length) const;
};

/// Bytes in memory, not owned: they must outlive the source.
class MemorySource final : public Source {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const override;

private:
    std::span<const std::uint8_t> bytes_;
};

/// A font file opened read-only for reads at given positions. A stretch of it can be read ahead in one
/// system call (the first page, where the offset table, the directory and usually "head" and "OS/2" lie;
/// the whole "name" table): reads that fall wholly inside it are then served from memory. A system call
/// costs more than the few kilobytes it brings.
class FileSource final : public Source {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    /// Opens the file at the path's bytes (as the system spells it, not necessarily UTF-8) and reads its
    /// first page ahead. Only regular files are accepted: a pipe or device could block or never end.
    bool open(const QByteArray& nativePath);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const override;
    /// Reads up to `length` bytes from `offset` (no more than the file holds, at most kMostReadAhead),
    /// replacing what was read ahead before.
    bool prefetch(std::uint64_t offset, std::size_t length) const override;
    static constexpr std::size_t kMostReadAhead = 1 << 20;
    static constexpr std::size_t kFirstPage = 4096;

private:
    bool readFromFile(std::uint64_t offset, std::uint8_t* out, std::size_t length) const;

    int fd_ = -1;
    std::uint64_t size_ = 0;
    mutable std::uint64_t aheadStart_ = 0;
    mutable std::vector<std::uint8_t> ahead_; // bytes [aheadStart_, aheadStart_ + size), all inside the file
};

} // namespace quillon::sfnt
