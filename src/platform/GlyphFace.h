#pragma once
// One face of a font file opened for drawing glyphs by their numbers, as text shaping hands them over: each
// glyph's image at a size, its outline, and, for a face whose character map the shaper cannot read itself
// (a Type 1 font), its glyph for a character and its advance. The face stays open, read from its file,
// until the object goes. src/platform/linux realises it with FreeType.

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPoint>

#include <optional>
#include <utility>
#include <vector>

namespace quillon::platform {

struct GlyphImage {
    /// Format_Alpha8 coverage, or Format_ARGB32_Premultiplied for a colour glyph; null for a blank glyph.
    QImage image;
    /// Where the image's top-left lies from the glyph's origin on the baseline, pixels, y pointing down.
    QPoint offset;
};

class GlyphFace {
public:
    virtual ~GlyphFace() = default;

    /// Font units per em (of a face that has only bitmaps: 64 units a pixel of its first strike).
    virtual int unitsPerEm() const = 0;
    /// Height above and depth below the baseline, font units, both positive for a usual face.
    virtual int ascender() const = 0;
    virtual int descender() const = 0;

    /// Sets the point of the design space the glyphs are drawn at: one design coordinate per axis, in the
    /// font's order. False when the face has no variations or the font engine refuses the point.
    virtual bool setCoordinates(const std::vector<double>& design) = 0;

    /// The image of `glyph` at `pixelSize` pixels to the em, its origin `subpixel` pixels (0 to 1) right of a
    /// whole pixel. A face with only bitmaps gives its nearest strike scaled to the size. nullopt when the
    /// glyph cannot be drawn (no such glyph, an absurd size); a blank glyph gives a null image.
    virtual std::optional<GlyphImage> image(unsigned glyph, double pixelSize, double subpixel) = 0;
    /// The outline of `glyph` in font units, y pointing down, at the current point of the design space;
    /// empty for a glyph without one (blank, or a bitmap).
    virtual QPainterPath outline(unsigned glyph) = 0;

    /// The face's glyph for a character by its own character map; 0 (the missing glyph) when it has none.
    virtual unsigned glyphOf(char32_t character) = 0;
    /// Every character the face's own character map gives a glyph, in code order, with its glyph.
    virtual std::vector<std::pair<char32_t, unsigned>> characterMap() = 0;
    /// The glyph's advance, font units.
    virtual double advance(unsigned glyph) = 0;
    /// The glyph's name in the face ("A", "uni0416"); empty when it has none.
    virtual QByteArray glyphName(unsigned glyph) = 0;
};

} // namespace quillon::platform
