#pragma once
// Name records in words: what a name ID means and which platform and language a record is for (their texts
// are decoded by the sfnt reader). Languages are named through ICU in English ("German (Switzerland)").

#include <QString>

namespace quillon::faceinfo {

/// "Copyright", "Family", ..., "Licence URL"; "Font-specific name 256" and "Name ID N" past the known ones.
QString nameIdWords(int nameID);
/// "Unicode", "Macintosh", "ISO", "Windows", "Custom", else "Platform N".
QString platformWords(int platformID);
/// The language of a record in words: Windows LCIDs through ICU, the Macintosh language codes, "any" for the
/// Unicode platform; "language N" when it has no name. IDs from 0x8000 point into the font's own language
/// tags and are given as such.
QString languageWords(int platformID, int languageID);

} // namespace quillon::faceinfo
