#pragma once
// What characters a face covers: its character set counted by Unicode script, and the characters of a text
// it lacks. The character set comes from the font system as ranges of code points.

#include "platform/FontFacts.h"
#include "typeset/Characters.h"

#include <QString>

#include <vector>

namespace quillon::faceinfo {

struct ScriptCount {
    QString script; // Unicode script name in English ("Latin", "Han", "Common")
    int characters = 0;
};

/// Whether the character set holds `c`.
bool covers(const std::vector<platform::CodeRange>& charset, char32_t c);
/// Characters in the set.
int characterCount(const std::vector<platform::CodeRange>& charset);
/// The set's characters by script, most characters first (ties by name).
std::vector<ScriptCount> scriptCounts(const std::vector<platform::CodeRange>& charset);

/// The distinct characters of `text` that the set lacks, in the order the text first has them. Line breaks
/// and tabs are not asked for: the sample breaks lines, it does not draw them.
std::vector<char32_t> missingCharacters(const std::vector<platform::CodeRange>& charset, const QString& text);
// The characters of a text in words, shared with the other windows.
using typeset::charactersOf;
using typeset::codePoint;
using typeset::describeCharacters;

} // namespace quillon::faceinfo
