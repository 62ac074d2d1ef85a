#include "faceinfo/Coverage.h"

#include <unicode/uscript.h>

#include <algorithm>
#include <map>

namespace quillon::faceinfo {

bool covers(const std::vector<platform::CodeRange>& charset, char32_t c)
{
    auto it = std::upper_bound(charset.begin(), charset.end(), c,
                               [](char32_t value, const platform::CodeRange& r) { return value < r.first; });
    return it != charset.begin() && c <= std::prev(it)->second;
}

int characterCount(const std::vector<platform::CodeRange>& charset)
{
    long long n = 0;
    for (const auto& [first, last] : charset) n += static_cast<long long>(last) - first + 1;
    return static_cast<int>(std::min<long long>(n, 0x7fffffff));
}

std::vector<ScriptCount> scriptCounts(const std::vector<platform::CodeRange>& charset)
{
    std::map<int, int> counts;
    for (const auto& [first, last] : charset) {
        // Code points past Unicode's end are no character of any script.
        const char32_t end = std::min<char32_t>(last, 0x10FFFF);
        for (char32_t c = first; c <= end && c >= first; ++c) {
            UErrorCode status = U_ZERO_ERROR;
            const UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &status);
            ++counts[U_SUCCESS(status) ? static_cast<int>(script) : static_cast<int>(USCRIPT_UNKNOWN)];
            if (c == 0x10FFFF) break;
        }
    }
    std::vector<ScriptCount> out;
    out.reserve(counts.size());
    for (const auto& [script, count] : counts) {
        const char* name = uscript_getName(static_cast<UScriptCode>(script));
        out.push_back(
            {QString::fromLatin1(name ? name : "Unknown").replace(QLatin1Char('_'), QLatin1Char(' ')),
             count});
    }
    std::sort(out.begin(), out.end(), [](const ScriptCount& a, const ScriptCount& b) {
        return a.characters != b.characters ? a.characters > b.characters : a.script < b.script;
    });
    return out;
}

std::vector<char32_t> missingCharacters(const std::vector<platform::CodeRange>& charset, const QString& text)
{
    std::vector<char32_t> out;
    for (char32_t c : charactersOf(text))
        if (!covers(charset, c)) out.push_back(c);
    return out;
}

} // namespace quillon::faceinfo
