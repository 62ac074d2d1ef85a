#pragma once
// Name records in words: what a name ID means, which platform and language a record is for, and the text of
// its bytes. Languages are named through ICU in English ("German (Switzerland)").

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace quillon::faceinfo {

/// "Copyright", "Family", ..., "Licence URL"; "Font-specific name 256" and "Name ID N" past the known ones.
QString nameIdWords(int nameID);
/// "Unicode", "Macintosh", "ISO", "Windows", "Custom", else "Platform N".
QString platformWords(int platformID);
/// The language of a record in words: Windows LCIDs through ICU, the Macintosh language codes, "any" for the
/// Unicode platform; "language N" when it has no name. IDs from 0x8000 point into the font's own language
/// tags and are given as such.
QString languageWords(int platformID, int languageID);
/// The record's text: UTF-16 (high byte first) on the Unicode and Windows platforms, a lone surrogate as
/// "?"; the Macintosh Roman encoding through ICU; other single-byte encodings as Latin-1.
QString nameText(int platformID, int encodingID, const QByteArray& bytes);

} // namespace quillon::faceinfo
