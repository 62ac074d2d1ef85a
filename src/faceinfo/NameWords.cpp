#include "faceinfo/NameWords.h"

#include <unicode/uloc.h>

#include <array>

namespace quillon::faceinfo {

QString nameIdWords(int nameID)
{
    static const std::array<const char*, 26> kNames = {"Copyright",
                                                       "Family",
                                                       "Subfamily",
                                                       "Unique identifier",
                                                       "Full name",
                                                       "Version",
                                                       "PostScript name",
                                                       "Trademark",
                                                       "Manufacturer",
                                                       "Designer",
                                                       "Description",
                                                       "Vendor URL",
                                                       "Designer URL",
                                                       "Licence description",
                                                       "Licence URL",
                                                       "Reserved",
                                                       "Typographic family",
                                                       "Typographic subfamily",
                                                       "Compatible full name",
                                                       "Sample text",
                                                       "PostScript CID name",
                                                       "WWS family",
                                                       "WWS subfamily",
                                                       "Light background palette",
                                                       "Dark background palette",
                                                       "Variations PostScript name prefix"};
    if (nameID >= 0 && nameID < static_cast<int>(kNames.size())) return QString::fromLatin1(kNames[nameID]);
    if (nameID >= 256) return QStringLiteral("Font-specific name %1").arg(nameID);
    return QStringLiteral("Name ID %1").arg(nameID);
}

QString platformWords(int platformID)
{
    switch (platformID) {
    case 0:
        return QStringLiteral("Unicode");
    case 1:
        return QStringLiteral("Macintosh");
    case 2:
        return QStringLiteral("ISO");
    case 3:
        return QStringLiteral("Windows");
    case 4:
        return QStringLiteral("Custom");
    default:
        return QStringLiteral("Platform %1").arg(platformID);
    }
}

namespace {

QString windowsLanguage(int lcid)
{
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        uloc_getLocaleForLCID(static_cast<uint32_t>(lcid), locale, sizeof locale - 1, &status);
    if (U_FAILURE(status) || length <= 0) return {};
    UChar name[256] = {};
    status = U_ZERO_ERROR;
    const int32_t nameLength = uloc_getDisplayName(locale, "en", name, 255, &status);
    if (U_FAILURE(status) || nameLength <= 0) return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name), std::min(nameLength, 255));
}

QString macLanguage(int code)
{
    // The Macintosh platform's own language codes, 0 to 33 (the common ones).
    static const std::array<const char*, 34> kMac = {"English",    "French",
                                                     "German",     "Italian",
                                                     "Dutch",      "Swedish",
                                                     "Spanish",    "Danish",
                                                     "Portuguese", "Norwegian",
                                                     "Hebrew",     "Japanese",
                                                     "Arabic",     "Finnish",
                                                     "Greek",      "Icelandic",
                                                     "Maltese",    "Turkish",
                                                     "Croatian",   "Chinese (Traditional)",
                                                     "Urdu",       "Hindi",
                                                     "Thai",       "Korean",
                                                     "Lithuanian", "Polish",
                                                     "Hungarian",  "Estonian",
                                                     "Latvian",    "Sami",
                                                     "Faroese",    "Persian",
                                                     "Russian",    "Chinese (Simplified)"};
    if (code >= 0 && code < static_cast<int>(kMac.size())) return QString::fromLatin1(kMac[code]);
    return {};
}

} // namespace

QString languageWords(int platformID, int languageID)
{
    if (languageID >= 0x8000 && (platformID == 0 || platformID == 3))
        return QStringLiteral("language tag %1").arg(languageID - 0x8000);
    QString words;
    if (platformID == 3)
        words = windowsLanguage(languageID);
    else if (platformID == 1)
        words = macLanguage(languageID);
    else if (platformID == 0)
        return QStringLiteral("any");
    return words.isEmpty() ? QStringLiteral("language %1").arg(languageID) : words;
}

} // namespace quillon::faceinfo
