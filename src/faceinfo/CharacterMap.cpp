#include "faceinfo/CharacterMap.h"

#include <QRegularExpression>

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <algorithm>

namespace quillon::faceinfo {

QString characterName(char32_t c)
{
    char name[256] = {};
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u_charName(static_cast<UChar32>(c), U_UNICODE_CHAR_NAME, name, sizeof name, &status);
    if (U_FAILURE(status) || length <= 0) {
        status = U_ZERO_ERROR;
        length = u_charName(static_cast<UChar32>(c), U_EXTENDED_CHAR_NAME, name, sizeof name, &status);
    }
    return U_SUCCESS(status) && length > 0 ? QString::fromLatin1(name, length) : QString();
}

QString blockName(char32_t c)
{
    const int block = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_BLOCK);
    const char* name = u_getPropertyValueName(UCHAR_BLOCK, block, U_LONG_PROPERTY_NAME);
    return name ? QString::fromLatin1(name).replace(QLatin1Char('_'), QLatin1Char(' ')) : QString();
}

QString scriptName(char32_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &status);
    const char* name = U_SUCCESS(status) ? uscript_getName(script) : nullptr;
    return name ? QString::fromLatin1(name).replace(QLatin1Char('_'), QLatin1Char(' ')) : QString();
}

CharacterMap::CharacterMap(const std::vector<platform::CodeRange>& charset)
{
    for (const auto& [first, last] : charset)
        for (char32_t c = first; c <= last && c <= 0x10FFFF && characters_.size() < kMostCharacters; ++c)
            characters_.push_back(c);
    // The search and the blocks need code order, whatever order the ranges came in.
    std::sort(characters_.begin(), characters_.end());
    characters_.erase(std::unique(characters_.begin(), characters_.end()), characters_.end());
}

std::vector<BlockGroup> CharacterMap::byBlock(const std::vector<char32_t>& characters)
{
    std::vector<BlockGroup> groups;
    int current = -1;
    for (char32_t c : characters) {
        const int block = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_BLOCK);
        if (groups.empty() || block != current) {
            groups.push_back({blockName(c), {}});
            current = block;
        }
        groups.back().characters.push_back(c);
    }
    return groups;
}

QStringList CharacterMap::blocks() const
{
    QStringList out;
    for (const BlockGroup& group : byBlock(characters_)) out << group.block;
    return out;
}

std::vector<char32_t> CharacterMap::search(const QString& query) const
{
    const QString wanted = query.simplified();
    if (wanted.isEmpty()) return characters_;
    std::vector<char32_t> found;
    static const QRegularExpression code(QStringLiteral("^(?:(u\\+|0x)?([0-9a-f]{1,6}))$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = code.match(wanted);
    bool prefixed = false;
    if (match.hasMatch()) {
        prefixed = !match.captured(1).isEmpty();
        const char32_t c = match.captured(2).toUInt(nullptr, 16);
        if (std::binary_search(characters_.begin(), characters_.end(), c)) found.push_back(c);
        if (prefixed) return found;
    }
    if (names_.empty()) {
        names_.reserve(characters_.size());
        for (char32_t c : characters_) names_.push_back(QLatin1Char(' ') + characterName(c).toLower());
    }
    QStringList words;
    for (const QString& word : wanted.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << QLatin1Char(' ') + word; // a word of the name begins with it
    for (std::size_t i = 0; i < characters_.size(); ++i) {
        const QString& name = names_[i];
        const bool all = std::all_of(words.begin(), words.end(), [&](const QString& w) {
            return name.contains(w) || name.contains(QLatin1Char('-') + w.mid(1));
        });
        if (all) found.push_back(characters_[i]);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

} // namespace quillon::faceinfo
