#pragma once
// Text set in one face: lines of glyphs as the shaper placed them, in font units, ready to be drawn at any
// size (a size only scales them: the shaping does not hint).

#include <vector>

namespace quillon::typeset {

struct ShapedGlyph {
    unsigned glyph = 0;   // the face's glyph number; 0 is its missing-glyph shape
    unsigned cluster = 0; // the first character it stands for, in characters from its paragraph's start
    // As HarfBuzz gives them, font units, y pointing up.
    int xAdvance = 0, yAdvance = 0, xOffset = 0, yOffset = 0;
    double x = 0; // pen position from the line's left edge, font units, before the offset
};

struct ShapedLine {
    std::vector<ShapedGlyph> glyphs; // in visual order, left to right
    double width = 0;                // font units
    int paragraph = 0;               // which paragraph (line of the text as typed) it belongs to
    bool rightToLeft = false;        // the paragraph runs right to left: the line is set against the right
};

struct ShapedText {
    std::vector<ShapedLine> lines;
    double unitsPerEm = 1000;
    double ascender = 800, descender = 200, lineGap = 0; // font units, at the face's current point
    double lineHeight() const { return ascender + descender + lineGap; }
    /// The widest line, font units.
    double width() const
    {
        double widest = 0;
        for (const ShapedLine& line : lines) widest = line.width > widest ? line.width : widest;
        return widest;
    }
};

} // namespace quillon::typeset
