#include "find/WritingSystems.h"

#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>
#include <unicode/uscript.h>
#include <unicode/uset.h>

#include <map>

namespace quillon::find {

namespace {

/// Writing systems that mix scripts: ICU knows them by codes of their own, without long names.
const std::map<UScriptCode, QString>& mixedScripts()
{
    static const std::map<UScriptCode, QString> names = {
        {USCRIPT_JAPANESE, QStringLiteral("Japanese")},
        {USCRIPT_KOREAN, QStringLiteral("Korean")},
        {USCRIPT_SIMPLIFIED_HAN, QStringLiteral("Han (Simplified)")},
        {USCRIPT_TRADITIONAL_HAN, QStringLiteral("Han (Traditional)")},
        {USCRIPT_MATHEMATICAL_NOTATION, QStringLiteral("Mathematical notation")},
        {USCRIPT_SYMBOLS_EMOJI, QStringLiteral("Emoji")},
    };
    return names;
}

QString nameOf(UScriptCode code)
{
    if (auto it = mixedScripts().find(code); it != mixedScripts().end()) return it->second;
    const char* name = uscript_getName(code);
    return name ? QString::fromLatin1(name).replace(QLatin1Char('_'), QLatin1Char(' ')) : QString();
}

QByteArray localeId(const QString& tag) { return tag.toLatin1().replace('-', '_'); }

/// The script ICU finds most likely for a locale ("ja" is written "Jpan", "vi" "Latn").
std::optional<UScriptCode> likelyScript(const QByteArray& locale)
{
    char full[ULOC_FULLNAME_CAPACITY] = {};
    char script[ULOC_SCRIPT_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(locale.constData(), full, sizeof full, &status);
    if (U_FAILURE(status)) return std::nullopt;
    status = U_ZERO_ERROR;
    if (uloc_getScript(full, script, sizeof script, &status) <= 0 || U_FAILURE(status)) return std::nullopt;
    UScriptCode codes[4];
    status = U_ZERO_ERROR;
    if (uscript_getCode(script, codes, 4, &status) < 1 || U_FAILURE(status)) return std::nullopt;
    return codes[0];
}

/// The script most of `characters` belong to, leaving out the shared ones (digits, punctuation, marks).
std::optional<UScriptCode> dominantScript(const std::vector<char32_t>& characters)
{
    std::map<UScriptCode, int> counts;
    for (char32_t c : characters) {
        UErrorCode status = U_ZERO_ERROR;
        const UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &status);
        if (U_SUCCESS(status) && script != USCRIPT_COMMON && script != USCRIPT_INHERITED &&
            script != USCRIPT_UNKNOWN)
            ++counts[script];
    }
    std::optional<UScriptCode> best;
    int most = 0;
    for (const auto& [script, count] : counts)
        if (count > most) {
            most = count;
            best = script;
        }
    return best;
}

QString spread(const std::vector<char32_t>& all, int count)
{
    // Letters and digits only: a sample is drawn a glyph at a time, where a vowel sign or an accent on its
    // own floats beside its neighbour.
    std::vector<char32_t> characters;
    for (char32_t c : all)
        if (!(U_GET_GC_MASK(static_cast<UChar32>(c)) & U_GC_M_MASK)) characters.push_back(c);
    QString out;
    const std::size_t n = characters.size();
    if (n == 0 || count <= 0) return out;
    const std::size_t take = std::min<std::size_t>(n, static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < take; ++i) {
        const char32_t c = characters[i * n / take];
        out.append(QString::fromUcs4(&c, 1));
    }
    return out;
}

/// The standard exemplar characters of a locale (single characters, in code order); empty when ICU has
/// only the root's.
std::vector<char32_t> exemplars(const QByteArray& locale)
{
    std::vector<char32_t> out;
    UErrorCode status = U_ZERO_ERROR;
    ULocaleData* data = ulocdata_open(locale.constData(), &status);
    if (U_FAILURE(status) || !data) return out;
    USet* set = ulocdata_getExemplarSet(data, nullptr, USET_IGNORE_SPACE, ULOCDATA_ES_STANDARD, &status);
    // A locale ICU has no data for falls back to the root's Latin letters, which say nothing of it.
    const bool own = U_SUCCESS(status) && status != U_USING_DEFAULT_WARNING;
    if (set && own) {
        for (int32_t i = 0, items = uset_getItemCount(set); i < items; ++i) {
            UChar32 first = 0, last = 0;
            UErrorCode itemStatus = U_ZERO_ERROR;
            if (uset_getItem(set, i, &first, &last, nullptr, 0, &itemStatus) != 0) continue; // a string
            for (UChar32 c = first; c <= last && out.size() < 100000; ++c)
                out.push_back(static_cast<char32_t>(c));
        }
    }
    if (set) uset_close(set);
    ulocdata_close(data);
    return out;
}

} // namespace

QString scriptOf(const QString& tag, const std::vector<char32_t>& orthography)
{
    const std::optional<UScriptCode> likely = likelyScript(localeId(tag));
    if (likely && mixedScripts().count(*likely)) return nameOf(*likely);
    if (const std::optional<UScriptCode> own = dominantScript(orthography)) return nameOf(*own);
    return likely ? nameOf(*likely) : QStringLiteral("Unknown");
}

QString languageName(const QString& tag)
{
    // The font system's tags for writing that is no language ("und-zsye", "und-zmth") are named by it.
    if (tag.startsWith(QLatin1String("und-"))) {
        const std::optional<UScriptCode> script = likelyScript(localeId(tag));
        if (script && mixedScripts().count(*script)) return mixedScripts().at(*script);
    }
    UChar name[128] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayName(localeId(tag).constData(), "en", name, 128, &status);
    if (U_FAILURE(status) || length <= 0 || length > 128) return tag;
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(name), length);
    // ICU names a language it does not know by its code: the tag says as much.
    return text.startsWith(QLatin1String("Unknown language")) || text == localeId(tag) ? tag : text;
}

std::optional<QString> scriptNamed(const QString& name)
{
    const QString wanted = name.simplified();
    if (wanted.isEmpty()) return std::nullopt;
    for (const auto& [code, text] : mixedScripts())
        if (text.compare(wanted, Qt::CaseInsensitive) == 0 ||
            QString::fromLatin1(uscript_getShortName(code)).compare(wanted, Qt::CaseInsensitive) == 0)
            return text;
    UScriptCode codes[4];
    UErrorCode status = U_ZERO_ERROR;
    QByteArray key = wanted.toLatin1();
    key.replace(' ', '_');
    const int found = uscript_getCode(key.constData(), codes, 4, &status);
    if (U_FAILURE(status) || found < 1) {
        const int value = u_getPropertyValueEnum(UCHAR_SCRIPT, key.constData());
        if (value == UCHAR_INVALID_CODE) return std::nullopt;
        codes[0] = static_cast<UScriptCode>(value);
    }
    const QString text = nameOf(codes[0]);
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

QString languageSample(const QString& tag, const QString& script, const std::vector<char32_t>& orthography,
                       int count)
{
    std::vector<char32_t> letters = exemplars(localeId(tag));
    // Exemplars of another script than the language's (ICU's data for a language written otherwise there)
    // would put the wrong letters in the sample.
    const std::optional<UScriptCode> exemplarScript = dominantScript(letters);
    if (letters.empty() || !exemplarScript ||
        (nameOf(*exemplarScript) != script &&
         !mixedScripts().count(likelyScript(localeId(tag)).value_or(USCRIPT_INVALID_CODE))))
        letters = orthography;
    return spread(letters, count);
}

QString scriptSample(const QString& script, int count)
{
    for (int code = 0; code < USCRIPT_CODE_LIMIT; ++code) {
        if (nameOf(static_cast<UScriptCode>(code)) != script) continue;
        const QByteArray locale = QByteArray("und_") + uscript_getShortName(static_cast<UScriptCode>(code));
        char full[ULOC_FULLNAME_CAPACITY] = {};
        UErrorCode status = U_ZERO_ERROR;
        uloc_addLikelySubtags(locale.constData(), full, sizeof full, &status);
        if (U_FAILURE(status)) return {};
        const std::vector<char32_t> letters = exemplars(QByteArray(full));
        const std::optional<UScriptCode> own = dominantScript(letters);
        return own && (nameOf(*own) == script || mixedScripts().count(static_cast<UScriptCode>(code)))
                   ? spread(letters, count)
                   : QString();
    }
    return {};
}

} // namespace quillon::find
