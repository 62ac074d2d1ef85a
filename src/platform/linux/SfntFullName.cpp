#include "platform/linux/SfntFullName.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

namespace quillon::platform {

namespace {

constexpr std::uint32_t tag(const char (&t)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(t[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[2])) << 8 |
           static_cast<unsigned char>(t[3]);
}

constexpr std::size_t kMaxTables = 4096;
constexpr std::size_t kMaxNameTable = 4 * 1024 * 1024;

std::uint32_t u16(const std::string& b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 8 |
           static_cast<unsigned char>(b[at + 1]);
}

std::uint32_t u32(const std::string& b, std::size_t at)
{
    return u16(b, at) << 16 | u16(b, at + 2);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string utf16beToUtf8(const std::string& b, std::size_t at, std::size_t length)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        char32_t c = u16(b, at + i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < length && u16(b, at + i + 2) >= 0xDC00 &&
            u16(b, at + i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u16(b, at + i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c != 0) appendUtf8(out, c);
    }
    return out;
}

/// Reads length bytes at offset into out; false when they are not all inside the source.
using Reader = std::function<bool(std::size_t offset, std::size_t length, std::string& out)>;

std::string fullName(const Reader& read, int faceNumber)
{
    std::string b;
    if (faceNumber < 0 || !read(0, 12, b)) return {};
    std::size_t fontOffset = 0;
    if (u32(b, 0) == tag("ttcf")) {
        if (static_cast<std::uint32_t>(faceNumber) >= u32(b, 8) ||
            !read(12 + 4 * std::size_t(faceNumber), 4, b))
            return {};
        fontOffset = u32(b, 0);
        if (!read(fontOffset, 12, b)) return {};
    } else if (faceNumber != 0) {
        return {};
    }
    const std::uint32_t version = u32(b, 0);
    if (version != 0x00010000 && version != tag("OTTO") && version != tag("true")) return {};
    const std::size_t tables = u16(b, 4);
    if (tables == 0 || tables > kMaxTables || !read(fontOffset + 12, 16 * tables, b)) return {};
    std::size_t nameOffset = 0, nameLength = 0;
    for (std::size_t i = 0; i < tables; ++i)
        if (u32(b, 16 * i) == tag("name")) {
            nameOffset = u32(b, 16 * i + 8);
            nameLength = u32(b, 16 * i + 12);
            break;
        }
    if (nameLength < 6 || nameLength > kMaxNameTable || !read(nameOffset, nameLength, b)) return {};

    const std::size_t count = u16(b, 2);
    const std::size_t strings = u16(b, 4);
    std::string best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = 6 + 12 * i;
        if (record + 12 > b.size()) break;
        const std::uint32_t platform = u16(b, record), encoding = u16(b, record + 2);
        const std::uint32_t language = u16(b, record + 4), nameId = u16(b, record + 6);
        const std::size_t length = u16(b, record + 8), offset = strings + u16(b, record + 10);
        if (platform != 3 || nameId != 4 || (encoding != 0 && encoding != 1 && encoding != 10)) continue;
        if ((language & 0x3FF) != 0x09 || offset + length > b.size()) continue; // English, any country
        std::string text = utf16beToUtf8(b, offset, length);
        if (text.empty()) continue;
        if (language == 0x0409) return text;
        if (best.empty()) best = std::move(text);
    }
    return best;
}

} // namespace

std::string windowsEnglishFullNameFromBytes(const std::string& bytes, int faceNumber)
{
    return fullName(
        [&](std::size_t offset, std::size_t length, std::string& out) {
            if (offset > bytes.size() || bytes.size() - offset < length) return false;
            out.assign(bytes, offset, length);
            return true;
        },
        faceNumber);
}

std::string windowsEnglishFullName(const std::string& path, int faceNumber)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    // The header and table directory of a single font lie in its first few kilobytes: one read gets them,
    // and the name table is a second. A read that comes back short has run past the file's end.
    std::string head(8192, '\0');
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const std::string name = fullName(
        [&](std::size_t offset, std::size_t length, std::string& out) {
            if (offset <= head.size() && head.size() - offset >= length) {
                out.assign(head, offset, length);
                return true;
            }
            out.resize(length);
            return ::pread(fd, out.data(), length, static_cast<off_t>(offset)) ==
                   static_cast<ssize_t>(length);
        },
        faceNumber);
    ::close(fd);
    return name;
}

} // namespace quillon::platform
