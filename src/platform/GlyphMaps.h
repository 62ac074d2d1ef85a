#pragma once
// One face's glyphs as its own file has them: which character maps to which glyph, the glyphs' names, and
// each glyph drawn alone, colour glyphs in colour. For the character map, which shows every character a face
// has, and for drawing sample text on a thread other than the window's.
//
// Each opened face belongs to the thread that uses it; faces may be opened on any thread.

#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quillon::platform {

struct GlyphImage {
    QImage image;  ///< Format_Alpha8 coverage, or Format_ARGB32_Premultiplied for a colour glyph; null for
                   ///< a glyph that draws nothing (a blank)
    QPoint offset; ///< the image's top-left from the pen on the baseline, pixels, y down
    double advance = 0; ///< pixels
    int ascent = 0;     ///< the face's ascent and descent at this size, pixels
    int descent = 0;
};

class FaceGlyphs {
public:
    virtual ~FaceGlyphs() = default;
    /// Every character the face's character map gives a glyph, in code order, with its glyph id.
    virtual std::vector<std::pair<char32_t, std::uint32_t>> characterMap() = 0;
    /// The glyph the face draws for `c`; 0 (the missing glyph) when it has none.
    virtual std::uint32_t glyphOf(char32_t c) = 0;
    /// The glyph's name in the face ("uni20BF", "Alpha"); empty when the face names none.
    virtual QString glyphName(std::uint32_t glyph) = 0;
    /// The glyph drawn at pixelSize pixels to the em (a bitmap face: its nearest size, scaled); nullopt when
    /// it cannot be drawn.
    virtual std::optional<GlyphImage> draw(std::uint32_t glyph, double pixelSize) = 0;
};

class GlyphMaps {
public:
    virtual ~GlyphMaps() = default;
    /// Face `index` (as the font engine takes it) of the font file at `path`, read without mapping it; null
    /// when it cannot be opened.
    virtual std::unique_ptr<FaceGlyphs> open(const QString& path, int index) = 0;
};

} // namespace quillon::platform
