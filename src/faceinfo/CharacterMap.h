#pragma once
// Every character of a face, grouped by Unicode block, with what ICU knows of each (name, block, script), and
// a search among them by name words ("greek alpha", "arrow") or by code ("U+20BF", "20bf"). The characters
// come from the font system's character set of the face, as the coverage counts them.

#include "platform/FontFacts.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon::faceinfo {

/// The character's Unicode name ("BITCOIN SIGN"; "CJK UNIFIED IDEOGRAPH-4E00"; "<control-0009>" for one
/// that has none).
QString characterName(char32_t c);
/// Its block's name ("Currency Symbols"), its script's ("Common").
QString blockName(char32_t c);
QString scriptName(char32_t c);

struct BlockGroup {
    QString block;
    std::vector<char32_t> characters; // ascending
};

class CharacterMap {
public:
    CharacterMap() = default;
    /// The characters of a character set, at most kMostCharacters of them (a set can claim every code point;
    /// no face has more than 65,535 glyphs).
    explicit CharacterMap(const std::vector<platform::CodeRange>& charset);
    static constexpr std::size_t kMostCharacters = 0x20000;

    const std::vector<char32_t>& characters() const { return characters_; }
    /// `characters` (ascending) in groups of one block each, in code order.
    static std::vector<BlockGroup> byBlock(const std::vector<char32_t>& characters);
    /// The block names of the map, in code order.
    QStringList blocks() const;

    /// The characters a search finds: the character with that code when the search is one ("U+20BF",
    /// "0x20bf", "20bf"), then those whose name has a word beginning with each word of the search. An
    /// empty search finds them all.
    std::vector<char32_t> search(const QString& query) const;

private:
    std::vector<char32_t> characters_;
    mutable std::vector<QString> names_; // folded names, made at the first search by name
};

} // namespace quillon::faceinfo
