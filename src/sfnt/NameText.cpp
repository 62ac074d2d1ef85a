#include "sfnt/NameText.h"

namespace quillon::sfnt {

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Mac Roman for 0x80..0xFF; below that it is ASCII.
constexpr char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

bool isHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

void questionLoneSurrogates(QString& text)
{
    QChar* c = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = c[i].unicode();
        if (isHigh(u) && i + 1 < n && isLow(c[i + 1].unicode()))
            ++i;
        else if (isHigh(u) || isLow(u))
            c[i] = QLatin1Char('?');
    }
}

} // namespace

char16_t ansiCharacter(std::uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
    return byte;
}

char16_t macRomanCharacter(std::uint8_t byte) { return byte < 0x80 ? byte : kMacRomanHigh[byte - 0x80]; }

QString decodeNameText(std::uint16_t platformID, std::uint16_t encodingID, const std::uint8_t* bytes,
                       std::size_t length)
{
    QString text;
    if (length == 0 || bytes == nullptr) return text;
    const std::size_t pairs = length / 2;
    if (platformID == 0 || platformID == 3) {
        text.resize(static_cast<qsizetype>(pairs));
        QChar* out = text.data();
        for (std::size_t k = 0; k < pairs; ++k)
            out[k] = QChar(static_cast<char16_t>(unsigned{bytes[2 * k]} << 8 | bytes[2 * k + 1]));
    } else if (bytes[0] == 0) {
        // Drop the leading zero, append one: character k is b(2k+1) + 256 * b(2k+2), with b(n) = 0.
        text.resize(static_cast<qsizetype>(pairs));
        QChar* out = text.data();
        for (std::size_t k = 0; k < pairs; ++k) {
            const unsigned low = bytes[2 * k + 1];
            const unsigned high = 2 * k + 2 < length ? bytes[2 * k + 2] : 0;
            out[k] = QChar(static_cast<char16_t>(low | high << 8));
        }
    } else {
        const bool macRoman = platformID == 1 && encodingID == 0;
        text.resize(static_cast<qsizetype>(length));
        QChar* out = text.data();
        for (std::size_t i = 0; i < length; ++i)
            out[i] = QChar(macRoman ? macRomanCharacter(bytes[i]) : ansiCharacter(bytes[i]));
        return text;
    }
    questionLoneSurrogates(text);
    return text;
}

} // namespace quillon::sfnt
