#pragma once
// Turns the bytes of one name record into text.
//
// The bytes are taken one character per byte in the ANSI code page (Windows-1252, the code page of the
// English systems the locale falls back to). When the first byte is 0 the text is two-byte text stored
// high byte first: the first byte is dropped, a zero byte appended, and the bytes are read in pairs low
// byte first, a lone last byte dropped. Records of the Unicode (0) and Microsoft (3) platforms are always
// two-byte text; when their first byte is not 0 they are read as plain big-endian UTF-16, so names that
// start with a character at or above U+0100 come out right.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillon {

/// Decodes `length` bytes of a name record of platform `platformID`. An empty input gives the empty text.
QString decodeNameText(std::uint16_t platformID, const unsigned char* bytes, std::size_t length);

/// The character Windows-1252 gives a byte; the five bytes it leaves undefined map to the C1 control of the
/// same number, as Windows' own conversion does.
char16_t ansiCharacter(unsigned char byte);

} // namespace quillon
