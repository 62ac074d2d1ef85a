#pragma once
// The clean-up that turns a fonts key entry name ("Arial Bold Italic (TrueType)", "MS Sans Serif
// 8,10,12,14,18,24 (VGA res)") into the face it lists, its bold and italic flags and its raster sizes.

#include <QString>

namespace quillon {

struct CleanedFontName {
    QString face;        ///< never empty for a non-empty entry name; case as in the entry
    bool bold = false;   ///< the name ended in "Bold" (after "Italic", when both)
    bool italic = false; ///< the name ended in "Italic"
    QString sizes;       ///< the listed point sizes, such as "8,10,12"; "" when none
};

/// Runs the rules in their fixed order: "(" , "Italic" and "Bold" at the end, "Normal", "& ", then the
/// sizes "8,", "9,", "10,", "11,", "12,". Every search is exact and case-sensitive and finds the first
/// occurrence; a rule only applies where that occurrence starts a word (past the name's second character,
/// right after a blank), and cutting drops the blank with everything after it. A glued style word
/// ("Noto Sans Arabic SemiBold", "URWBookman-DemiItalic") leaves the name whole and unflagged.
CleanedFontName cleanFontName(const QString& entryName);

/// The size list at the head of tail: up to the first blank, else up to the first "(", else all of it.
QString ExtractSizes(const QString& tail);

} // namespace quillon
