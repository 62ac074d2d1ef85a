#pragma once
// Turns the bytes of one name record into text; the one decoder of name texts in the program.
//
// - Unicode (0) and Microsoft (3) platforms: two-byte text stored high byte first (UTF-16BE), whatever the
//   first byte is; a lone last byte is dropped.
// - Macintosh (1) with the Roman script (encoding 0): one character per byte in Mac Roman.
// - Any other record: one character per byte in the ANSI code page (Windows-1252, the code page of the
//   English systems the locale falls back to), except that a text whose first byte is 0 is two-byte text:
//   the first byte is dropped, a zero byte appended, and the bytes are read in pairs low byte first, a lone
//   last byte dropped. That rule also covers the rare Macintosh record that holds two-byte text.
//
// A surrogate that is not one half of a pair stands for no character: it becomes "?", so the text can be
// shown and written out as UTF-8 like any other.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillon::sfnt {

/// Decodes `length` bytes of a name record of `platformID` and `encodingID`. An empty input gives the empty
/// text.
QString decodeNameText(std::uint16_t platformID, std::uint16_t encodingID, const std::uint8_t* bytes,
                       std::size_t length);

/// The character Windows-1252 gives a byte; the five bytes it leaves undefined map to the C1 control of the
/// same number, as Windows' own conversion does.
char16_t ansiCharacter(std::uint8_t byte);

/// The character Mac Roman gives a byte.
char16_t macRomanCharacter(std::uint8_t byte);

} // namespace quillon::sfnt
