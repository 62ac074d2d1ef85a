#include "platform/linux/fonts/FontSystemLocale.h"

#include "platform/FontSystem.h"

#include <unicode/uloc.h>

#include <QtGlobal>

#include <array>

namespace quillon::platform {

namespace {

constexpr std::size_t kLocaleChars = ULOC_FULLNAME_CAPACITY;

/// A specific (not language-only) identifier for an ICU locale id, or 0.
std::uint32_t specificLcid(const char* id)
{
    const std::uint32_t lcid = uloc_getLCID(id);
    // The sub-language sits above the ten bits of the primary language; 0 there is a neutral locale.
    return (lcid >> 10) != 0 ? lcid : 0;
}

} // namespace

std::uint32_t lcidFromLocaleName(const QByteArray& name)
{
    QByteArray posix = name;
    const qsizetype dot = posix.indexOf('.');
    if (dot >= 0) {
        const qsizetype at = posix.indexOf('@', dot);
        posix = posix.left(dot) + (at >= 0 ? posix.mid(at) : QByteArray());
    }
    if (posix.isEmpty() || posix == "C" || posix == "POSIX") return kDefaultLcid;
    if (posix.size() >= static_cast<qsizetype>(kLocaleChars)) return kDefaultLcid;

    UErrorCode status = U_ZERO_ERROR;
    std::array<char, kLocaleChars> canonical{};
    uloc_canonicalize(posix.constData(), canonical.data(), static_cast<int32_t>(canonical.size()), &status);
    if (U_FAILURE(status)) return kDefaultLcid;
    if (const std::uint32_t lcid = specificLcid(canonical.data())) return lcid;

    status = U_ZERO_ERROR;
    std::array<char, kLocaleChars> likely{};
    uloc_addLikelySubtags(canonical.data(), likely.data(), static_cast<int32_t>(likely.size()), &status);
    if (U_FAILURE(status)) return kDefaultLcid;
    if (const std::uint32_t lcid = specificLcid(likely.data())) return lcid;

    // ICU's table knows most locales by language and region only, without the script.
    std::array<char, ULOC_LANG_CAPACITY> language{};
    std::array<char, ULOC_COUNTRY_CAPACITY> country{};
    status = U_ZERO_ERROR;
    uloc_getLanguage(likely.data(), language.data(), static_cast<int32_t>(language.size()), &status);
    uloc_getCountry(likely.data(), country.data(), static_cast<int32_t>(country.size()), &status);
    if (U_FAILURE(status)) return kDefaultLcid;
    const QByteArray pair = QByteArray(language.data()) + '_' + QByteArray(country.data());
    if (const std::uint32_t lcid = specificLcid(pair.constData())) return lcid;
    return kDefaultLcid;
}

std::uint32_t systemDefaultLcid()
{
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) return lcidFromLocaleName(value);
    }
    return kDefaultLcid;
}

} // namespace quillon::platform
