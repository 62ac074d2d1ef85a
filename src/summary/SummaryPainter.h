#pragma once
// Draws the summary's rows: a face's name and ":" in the label face, then the fixed sample in the face
// itself, each on an opaque background, 8 points. Laying out text in a face the first time costs far more
// than drawing it (the font system resolves the name, opens the file, shapes the text), so the laid-out
// glyphs of each label and sample are kept and paging back over seen faces only draws glyphs.

#include "summary/SummaryScroll.h"

#include <QCache>
#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPaintDevice;
class QPainter;

namespace quillon {

namespace platform {
class FaceRasterizer;
class FontSystem;
} // namespace platform

class SummaryPainter {
public:
    static constexpr int kPointSize = 8;
    /// Row height and the pens' x positions, in twips.
    static constexpr int kRowHeight = 240;
    static constexpr int kLabelX = 30;
    static constexpr int kSampleX = 1800;
    static const QString kSample;

    /// Faces whose layouts are kept by default: three pages, the one on show and the two seen before it, so
    /// paging back is cheap and paging through tens of thousands of faces keeps memory flat.
    static constexpr int kCachedFaces = 3 * SummaryScroll::kLargeChange;

    /// labelFace: the family of the name labels. device: what the rows are drawn on, whose resolution turns
    /// points into pixels; not owned, must outlive this object. cacheFaces: how many faces' layouts are kept.
    SummaryPainter(QString labelFace, QPaintDevice* device, int cacheFaces = kCachedFaces);

    /// Draws faces as the font system chooses them: `fonts` resolves a name (a family or a full name) to the
    /// face it uses and `rasterizer` draws that face's file directly, which costs a fraction of building a
    /// Qt font engine per face. A face the rasterizer cannot draw goes through Qt by its family and style.
    /// Without them (null), names go to Qt as family names. Neither is owned; both must outlive the painter.
    /// What was laid out before is dropped.
    void useFontSystem(platform::FontSystem* fonts, platform::FaceRasterizer* rasterizer);

    /// The text drawn in each face, kSample unless set; what was laid out before is dropped.
    void setSample(const QString& sample);
    const QString& sample() const { return sample_; }

    /// Draws row `row` (0 at the top) for face `face`. The name is drawn whole from x 30; the sample, drawn
    /// afterwards from x 1800 on its opaque background, covers what of the name reaches past that point.
    void drawRow(QPainter& painter, int row, const QString& face, const QColor& text,
                 const QColor& background);

    /// The font a face is drawn in: the font system's choice for that name at 8 points, regular, with no
    /// glyphs borrowed from other fonts for characters the face lacks.
    QFont faceFont(const QString& face) const;
    /// The font of the name labels.
    QFont labelFont() const;

    int cachedTexts() const { return static_cast<int>(labels_.size() + samples_.size()); }

private:
    struct Text {
        QList<QGlyphRun> runs; // drawn through Qt: positions relative to the text cell's top-left
        QImage coverage; // drawn by the rasterizer at device pixels: glyph coverage, `offset` from the cell
        QPointF offset;  // logical pixels
        QImage tinted;   // coverage in the colour last drawn with
        QRgb tint = 0;
        QSizeF cell; // advance width by ascent + descent, the area the opaque background fills
    };

    Text layout(const QString& text, const QFont& font) const;
    Text layoutSample(const QString& face) const;
    double pixelSize() const;
    void draw(QPainter& painter, const QPointF& at, Text& text, const QColor& colour,
              const QColor& background) const;

    QString labelFace_;
    QString sample_ = kSample;
    QPaintDevice* device_;
    platform::FontSystem* fonts_ = nullptr;
    platform::FaceRasterizer* rasterizer_ = nullptr;
    QCache<QString, Text> labels_;
    QCache<QString, Text> samples_;
};

} // namespace quillon
