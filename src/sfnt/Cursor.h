#pragma once
// A bounded view of bytes read big-endian, as every integer of an sfnt file is stored. Every read is
// checked: what lies past the end of the view reads as zero, and no position arithmetic can overflow (a
// position is 64-bit and only ever compared with the size, never added to it unchecked). A parser built on
// it can follow any offset a hostile file gives without touching memory outside the view.
//
// The view does not own its bytes; they must outlive it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::sfnt {

class Cursor {
public:
    Cursor() = default;
    Cursor(const std::uint8_t* data, std::size_t size) : bytes_(data, data ? size : 0) {}
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    /// True when the `length` bytes from `at` all lie inside the view.
    bool holds(std::uint64_t at, std::uint64_t length) const
    {
        return at <= bytes_.size() && length <= bytes_.size() - at;
    }

    std::uint8_t u8(std::uint64_t at) const { return at < bytes_.size() ? bytes_[at] : 0; }
    std::uint16_t u16(std::uint64_t at) const
    {
        return static_cast<std::uint16_t>(u8(at) << 8 | next(at, 1));
    }
    std::uint32_t u32(std::uint64_t at) const
    {
        return std::uint32_t{u8(at)} << 24 | std::uint32_t{next(at, 1)} << 16 |
               std::uint32_t{next(at, 2)} << 8 | next(at, 3);
    }

    /// The `length` bytes from `at` when they lie wholly inside the view; otherwise empty.
    std::span<const std::uint8_t> bytes(std::uint64_t at, std::uint64_t length) const
    {
        if (!holds(at, length)) return {};
        return bytes_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(length));
    }

private:
    /// The byte `k` after `at`; zero where that position is past the end or past the last 64-bit one.
    std::uint8_t next(std::uint64_t at, unsigned k) const
    {
        return k < bytes_.size() && at < bytes_.size() - k ? bytes_[at + k] : 0;
    }

    std::span<const std::uint8_t> bytes_;
};

/// A four-character table tag as the 32-bit value the directory holds.
constexpr std::uint32_t tag(const char (&t)[5])
{
    return std::uint32_t{static_cast<unsigned char>(t[0])} << 24 |
           std::uint32_t{static_cast<unsigned char>(t[1])} << 16 |
           std::uint32_t{static_cast<unsigned char>(t[2])} << 8 | static_cast<unsigned char>(t[3]);
}

} // namespace quillon::sfnt
