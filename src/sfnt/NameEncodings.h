#pragma once
// Name records decoded by what their platform and encoding say the bytes are, as a font tool lists them: the
// face information shows every record in its own script, where the details keep the one rule of
// decodeNameText (NameText.h) that the program's written behaviour fixes.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillon::sfnt {

/// Decodes `length` bytes of a name record by its platform and encoding:
/// - Unicode (0), Microsoft Symbol, Unicode BMP and full (3: 0, 1, 10), ISO 10646 (2: 1): UTF-16BE, a lone
///   surrogate as "?";
/// - Microsoft Shift-JIS, PRC, Big5, Wansung, Johab (3: 2..6): those character sets, whether the record
///   stores them as plain bytes or, as many fonts do, as 16-bit units whose high byte is 0 for a one-byte
///   character;
/// - Macintosh Roman, Japanese, Traditional Chinese, Korean, Greek, Cyrillic, Simplified Chinese, Central
///   European (1: 0, 1, 2, 3, 6, 7, 25, 29); ISO ASCII and 8859-1 (2: 0, 2);
/// - anything else as decodeNameText does.
/// Bytes that are not valid in their encoding become U+FFFD; at most two characters come of a byte. An empty
/// input gives the empty text.
QString decodeNameTextByEncoding(std::uint16_t platformID, std::uint16_t encodingID,
                                 const std::uint8_t* bytes, std::size_t length);

} // namespace quillon::sfnt
