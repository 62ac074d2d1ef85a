#pragma once
// Draws set text with a painter: on a screen or into an image as the glyph face's own images (light hinting
// in grey levels, colour glyphs in colour), each kept once drawn; into a PDF as the glyphs' outlines, so
// that the page holds the face's own shapes at any zoom.
//
// What it keeps is bounded (kMostCacheBytes of images, kMostOutlines outlines) whatever the face or the
// text; a change of the typesetter's coordinates or of the colour drops it.

#include "typeset/ShapedText.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QRectF>

#include <cstddef>
#include <cstdint>

class QPainter;

namespace quillon::typeset {

class Typesetter;

class GlyphPainter {
public:
    static constexpr std::size_t kMostCacheBytes = 32u << 20;
    static constexpr int kMostOutlines = 4096;

    /// The typesetter must outlive the painter.
    explicit GlyphPainter(Typesetter& typesetter) : typesetter_(typesetter) {}

    /// Draws the lines of `text` at `pixelSize` pixels to the em (device-independent pixels of the
    /// painter), the first line's top at `area`'s top, each line against the area's left edge (a right-to-
    /// left paragraph's against its right edge). Lines outside the painter's clip are skipped. `outlines`
    /// draws outlines instead of images (for a PDF).
    void paint(QPainter& painter, const ShapedText& text, const QRectF& area, double pixelSize,
               const QColor& colour, bool outlines = false);
    /// Draws line `line` of `text` alone, its top at `top`, within [left, right] as paint() places it.
    void paintLine(QPainter& painter, const ShapedText& text, std::size_t line, double top, double left,
                   double right, double pixelSize, const QColor& colour, bool outlines = false);

    /// Height of `text`'s lines at `pixelSize`, pixels.
    static double height(const ShapedText& text, double pixelSize);
    /// Bytes of images kept.
    std::size_t cacheBytes() const { return bytes_; }

private:
    struct Drawn {
        QImage image; // tinted coverage or a colour glyph, ARGB32 premultiplied; null for a blank glyph
        QPoint offset;
    };
    const Drawn& image(unsigned glyph, double pixelSize, int phase, int phases);
    const QPainterPath& outline(unsigned glyph);
    void forgetIfStale(const QColor& colour);

    Typesetter& typesetter_;
    QHash<std::uint64_t, Drawn> images_;
    QHash<unsigned, QPainterPath> outlines_;
    std::size_t bytes_ = 0;
    unsigned generation_ = ~0u;
    QColor colour_;
};

} // namespace quillon::typeset
