#pragma once
// The characters of a text in words, as the windows name the ones a face lacks.

#include <QString>

#include <vector>

namespace quillon::typeset {

/// The distinct characters of `text` that a face must have to draw it, in the order the text first has
/// them. Line breaks and tabs are not among them: a sample breaks lines, it does not draw them.
std::vector<char32_t> charactersOf(const QString& text);
/// "U+00E7".
QString codePoint(char32_t c);
/// "ç U+00E7, ✓ U+2713": each character as itself and as its code.
QString describeCharacters(const std::vector<char32_t>& characters);

} // namespace quillon::typeset
