#pragma once
// Draws a line of text in one face file the way the system's plain text output does: the face's own
// glyphs one after another by their advances, no kerning, no glyphs borrowed from other faces (a missing
// character shows the face's missing-glyph shape). Cheaper than building a full font engine for a face
// that is drawn once, which is what the summary window does for every installed face.

#include "platform/GlyphFace.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

namespace quillon::platform {

struct RasterLine {
    QImage coverage; ///< Format_Alpha8: how much of each pixel the glyphs cover; may be null for blank text
    QPoint offset;   ///< where coverage's top-left lies from the text cell's top-left, pixels
    double advance = 0; ///< width of the text cell (sum of advances), pixels
    int ascent = 0;     ///< cell height above the baseline, pixels
    int descent = 0;    ///< cell height below the baseline, pixels
};

class FaceRasterizer {
public:
    virtual ~FaceRasterizer() = default;
    /// `text` in face `index` of `file` (index as FreeType takes it, named instance in bits 16..30) at
    /// pixelSize pixels to the em (a bitmap face uses its nearest strike). nullopt when the face cannot be
    /// drawn this way (unreadable, colour glyphs, absurd size); callers then draw through Qt.
    virtual std::optional<RasterLine> rasterize(const QString& file, int index, double pixelSize,
                                                const QString& text) = 0;

    /// The width of `text` in that face at pixelSize pixels to the em from the glyphs' own unhinted advances
    /// (no kerning): what text set with the face's design metrics measures, without drawing anything.
    /// nullopt when the face cannot be read.
    virtual std::optional<double> advance(const QString& file, int index, double pixelSize,
                                          const QString& text)
    {
        const std::optional<RasterLine> line = rasterize(file, index, pixelSize, text);
        return line ? std::optional<double>(line->advance) : std::nullopt;
    }

    /// Face `index` of `file` (as FreeType takes it) opened for drawing glyphs by number, for text shaped
    /// elsewhere; null when it cannot be opened. It may not outlive this object.
    virtual std::unique_ptr<GlyphFace> openGlyphs(const QString&, int) { return nullptr; }
};

} // namespace quillon::platform
