#include "platform/linux/registry/FonDescription.h"

#include <fstream>

namespace quillon::platform {

namespace {

// Font resource files are small; a larger file is not a .fon worth reading whole.
constexpr std::streamoff kMaxFonFile = 16 * 1024 * 1024;

bool readU16(const std::string& b, std::size_t at, std::size_t& out)
{
    if (at > b.size() || b.size() - at < 2) return false;
    out = static_cast<unsigned char>(b[at]) | static_cast<std::size_t>(static_cast<unsigned char>(b[at + 1]))
                                                  << 8;
    return true;
}

bool readU32(const std::string& b, std::size_t at, std::size_t& out)
{
    std::size_t low = 0, high = 0;
    if (!readU16(b, at, low) || !readU16(b, at + 2, high)) return false;
    out = low | high << 16;
    return true;
}

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string fonDescriptionFromBytes(const std::string& bytes)
{
    std::size_t neOffset = 0, nonResidentOffset = 0, nonResidentSize = 0;
    if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return {};
    if (!readU32(bytes, 0x3C, neOffset) || neOffset > bytes.size() || bytes.size() - neOffset < 0x30)
        return {};
    if (bytes.compare(neOffset, 2, "NE") != 0) return {};
    if (!readU16(bytes, neOffset + 0x20, nonResidentSize) ||
        !readU32(bytes, neOffset + 0x2C, nonResidentOffset))
        return {};
    if (nonResidentSize == 0 || nonResidentOffset >= bytes.size()) return {};
    const std::size_t length = static_cast<unsigned char>(bytes[nonResidentOffset]);
    if (length + 1 > nonResidentSize || bytes.size() - nonResidentOffset - 1 < length) return {};
    const std::string raw = bytes.substr(nonResidentOffset + 1, length);

    const auto colon = raw.find(" : ");
    if (colon == std::string::npos) return {};
    std::string text;
    for (char c : trim(raw.substr(colon + 3))) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return {};
        if (u < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | u >> 6);
            text += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return text;
}

std::string fonDescription(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxFonFile) return {};
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return {};
    return fonDescriptionFromBytes(bytes);
}

} // namespace quillon::platform
