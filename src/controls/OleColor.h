#pragma once
// Colours as the controls store them: 32-bit values with red in the low byte, green next and blue in the
// third byte; a value with the top bit set names a system colour by the index in its low byte
// (5 window background, 8 window text, 15 button face, 18 button text, 22 three-dimensional light).

#include <QColor>
#include <QPalette>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

namespace quillon {

struct OleColor {
    /// "&H" hexadecimal (up to 8 digits), "&O" octal or signed decimal, blanks around it allowed;
    /// nothing when the text is no such number or does not fit 32 bits.
    static std::optional<std::uint32_t> fromText(const QString& text);
    /// A colour read from a property store: a number (negative ones as their 32-bit pattern) or a
    /// text that fromText reads, with or without a closing "&".
    static std::optional<std::uint32_t> fromVariant(const QVariant& value);
    /// The colour to paint with; system colours come from palette (the active group).
    static QColor toQColor(std::uint32_t colour, const QPalette& palette);
    /// Red, green and blue each capped to 0..255, packed with red in the low byte.
    static std::uint32_t rgb(int red, int green, int blue);
};

} // namespace quillon
