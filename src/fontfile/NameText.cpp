#include "fontfile/NameText.h"

namespace quillon {

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t ansiCharacter(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
    return byte;
}

QString decodeNameText(std::uint16_t platformID, const unsigned char* bytes, std::size_t length)
{
    QString text;
    if (length == 0 || bytes == nullptr) return text;
    const std::size_t characters = length / 2;
    if (bytes[0] == 0) {
        // Drop the leading zero, append one: character k is b(2k+1) + 256 * b(2k+2), with b(n) = 0.
        text.resize(static_cast<qsizetype>(characters));
        QChar* out = text.data();
        for (std::size_t k = 0; k < characters; ++k) {
            const unsigned low = bytes[2 * k + 1];
            const unsigned high = 2 * k + 2 < length ? bytes[2 * k + 2] : 0;
            out[k] = QChar(static_cast<char16_t>(low | (high << 8)));
        }
        return text;
    }
    if (platformID == 0 || platformID == 3) {
        text.resize(static_cast<qsizetype>(characters));
        QChar* out = text.data();
        for (std::size_t k = 0; k < characters; ++k)
            out[k] = QChar(static_cast<char16_t>((unsigned{bytes[2 * k]} << 8) | bytes[2 * k + 1]));
        return text;
    }
    text.resize(static_cast<qsizetype>(length));
    QChar* out = text.data();
    for (std::size_t i = 0; i < length; ++i) out[i] = QChar(ansiCharacter(bytes[i]));
    return text;
}

} // namespace quillon
