#pragma once
// Text as the finder compares it: names and what the user types are folded alike, so that a search ignores
// case, accents and compatibility forms ("noto geor" finds "Noto Sans Georgian", "ecole" finds "École",
// "ｍｓ" finds "MS") while a script's own distinctions stay (Japanese voicing marks are no accents).

#include <QString>

#include <vector>

namespace quillon::find {

/// `text` decomposed by compatibility, without the combining diacritical marks of the Latin, Greek and
/// Cyrillic accents, composed again and case-folded.
QString foldedForSearch(const QString& text);

/// The words of a search, folded: its blank-separated parts, empty ones left out.
QStringList searchWords(const QString& text);

/// The distinct characters a face must have to set `text`, in the order the text first has them. Line
/// breaks and tabs are not asked for (as the face information's coverage asks).
std::vector<char32_t> requiredCharacters(const QString& text);

} // namespace quillon::find
