#include "sfnt/NameEncodings.h"

#include "sfnt/NameText.h"

#include <unicode/ucnv.h>

#include <array>
#include <memory>
#include <vector>

namespace quillon::sfnt {

namespace {

struct ConverterClose {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// ICU's name of the converter for a multi-byte or non-Roman single-byte encoding; null for none. ICU has no
// Macintosh CJK converters: those encodings are the Shift-JIS, Big5, KS C 5601 and GB 2312 of their day,
// which the Windows code pages extend.
const char* converterName(std::uint16_t platformID, std::uint16_t encodingID)
{
    if (platformID == 3) {
        switch (encodingID) {
        case 2:
            return "windows-932";
        case 3:
            return "windows-936";
        case 4:
            return "windows-950";
        case 5:
            return "windows-949";
        default:
            return nullptr;
        }
    }
    if (platformID == 1) {
        switch (encodingID) {
        case 1:
            return "windows-932";
        case 2:
            return "windows-950";
        case 3:
            return "windows-949";
        case 6:
            return "x-mac-greek";
        case 7:
            return "x-mac-cyrillic";
        case 25:
            return "windows-936";
        case 29:
            return "x-mac-centraleurroman";
        default:
            return nullptr;
        }
    }
    if (platformID == 2 && encodingID == 2) return "ISO-8859-1";
    return nullptr;
}

QString convert(const char* name, const char* bytes, std::size_t length)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterClose> converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) return {};
    // Mostly one UTF-16 unit a byte or less; a few single-byte code pages give two characters for a byte.
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    int32_t written =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                      static_cast<int32_t>(text.size()), bytes, static_cast<int32_t>(length), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        text.resize(written);
        written =
            ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                          static_cast<int32_t>(text.size()), bytes, static_cast<int32_t>(length), &status);
    }
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
    text.truncate(written);
    // ICU's multi-byte converters stand the ASCII substitute control for a cut sequence.
    text.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
    return text;
}

// A Windows CJK record as the bytes of its character set: 16-bit units hold a one-byte character in their low
// byte (high byte 0) and a two-byte character whole. A record without any zero byte is taken as plain bytes,
// since no character of these sets has a zero byte.
std::vector<char> multiByteUnits(const std::uint8_t* bytes, std::size_t length)
{
    std::vector<char> out;
    out.reserve(length);
    bool units = false;
    for (std::size_t i = 0; i < length; ++i) units = units || bytes[i] == 0;
    if (!units) return std::vector<char>(bytes, bytes + length);
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        if (bytes[i] != 0) out.push_back(static_cast<char>(bytes[i]));
        out.push_back(static_cast<char>(bytes[i + 1]));
    }
    return out;
}

// Johab (KS C 5601-1992 annex 3), which ICU does not carry. Hangul is a bit field of initial, medial and
// final jamo; symbols and Hanja are the KS C 5601 rows rearranged, turned back into EUC-KR for ICU.
constexpr std::array<int, 32> kInitial = {-1, -1, 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                          14, 15, 16, 17, 18, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr std::array<int, 32> kMedial = {-1, -1, -1, 0,  1,  2,  3,  4,  -1, -1, 5,  6,  7,  8,  9,  10,
                                         -1, -1, 11, 12, 13, 14, 15, 16, -1, -1, 17, 18, 19, 20, -1, -1};
constexpr std::array<int, 32> kFinal = {-1, 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                        15, 16, -1, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, -1, -1};
// Compatibility jamo for an initial consonant alone (a medial vowel alone is U+314F onwards).
constexpr char16_t kInitialAlone[19] = {0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141,
                                        0x3142, 0x3143, 0x3145, 0x3146, 0x3147, 0x3148, 0x3149,
                                        0x314A, 0x314B, 0x314C, 0x314D, 0x314E};

QString johab(const std::vector<char>& in)
{
    QString text;
    const std::size_t n = in.size();
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(in[i]); };
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t lead = byte(i);
        if (lead < 0x80) {
            text.append(QChar(char16_t{lead}));
            continue;
        }
        if (i + 1 >= n) {
            text.append(QChar(u'\uFFFD'));
            break;
        }
        const std::uint8_t trail = byte(++i);
        if (lead >= 0x84 && lead <= 0xD3) {
            const unsigned code = unsigned{lead} << 8 | trail;
            const int initial = kInitial[(code >> 10) & 31], medial = kMedial[(code >> 5) & 31],
                      final = kFinal[code & 31];
            const bool noInitial = ((code >> 10) & 31) == 1, noMedial = ((code >> 5) & 31) == 2;
            if (initial >= 0 && medial >= 0 && final >= 0)
                text.append(QChar(static_cast<char16_t>(0xAC00 + (initial * 21 + medial) * 28 + final)));
            else if (initial >= 0 && noMedial && final == 0)
                text.append(QChar(kInitialAlone[initial]));
            else if (noInitial && medial >= 0 && final == 0)
                text.append(QChar(static_cast<char16_t>(0x314F + medial)));
            else
                text.append(QChar(u'\uFFFD'));
            continue;
        }
        const bool symbolOrHanja = (lead >= 0xD9 && lead <= 0xDE) || (lead >= 0xE0 && lead <= 0xF9);
        const bool trailOk = (trail >= 0x31 && trail <= 0x7E) || (trail >= 0x91 && trail <= 0xFE);
        if (!symbolOrHanja || !trailOk) {
            text.append(QChar(u'\uFFFD'));
            continue;
        }
        const int row = lead < 0xE0 ? 2 * (lead - 0xD9) : 2 * lead - 0x197;
        const int column = trail < 0x91 ? trail - 0x31 : trail - 0x43;
        const char euc[2] = {static_cast<char>(0xA1 + row + (column < 94 ? 0 : 1)),
                             static_cast<char>(0xA1 + (column < 94 ? column : column - 94))};
        const QString converted = convert("EUC-KR", euc, 2);
        text.append(converted.isEmpty() ? QStringLiteral("\uFFFD") : converted);
    }
    return text;
}

} // namespace

QString decodeNameTextByEncoding(std::uint16_t platformID, std::uint16_t encodingID,
                                 const std::uint8_t* bytes, std::size_t length)
{
    if (length == 0 || bytes == nullptr) return {};
    const bool utf16 = platformID == 0 || (platformID == 3 && (encodingID <= 1 || encodingID == 10)) ||
                       (platformID == 2 && encodingID == 1);
    if (utf16) return decodeNameText(0, 0, bytes, length);
    if (platformID == 2 && encodingID == 0) {
        QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (std::size_t i = 0; i < length; ++i)
            text[static_cast<qsizetype>(i)] = QChar(bytes[i] < 0x80 ? char16_t{bytes[i]} : u'\uFFFD');
        return text;
    }
    if (platformID == 1 && encodingID == 0) {
        QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (std::size_t i = 0; i < length; ++i)
            text[static_cast<qsizetype>(i)] = QChar(macRomanCharacter(bytes[i]));
        return text;
    }
    if (platformID == 3 && encodingID == 6) return johab(multiByteUnits(bytes, length));
    if (const char* name = converterName(platformID, encodingID)) {
        const std::vector<char> in =
            platformID == 3 ? multiByteUnits(bytes, length) : std::vector<char>(bytes, bytes + length);
        return convert(name, in.data(), in.size());
    }
    return decodeNameText(platformID, encodingID, bytes, length);
}

} // namespace quillon::sfnt
