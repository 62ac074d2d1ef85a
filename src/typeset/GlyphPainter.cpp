#include "typeset/GlyphPainter.h"

#include "platform/GlyphFace.h"
#include "typeset/Typesetter.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace quillon::typeset {

namespace {

/// Small text is placed at quarter pixels, which keeps its spacing even; from this size on a whole pixel
/// is too little to see, and one image a glyph is enough.
constexpr double kQuarterPixelsBelow = 24;

QImage tinted(const QImage& coverage, const QColor& colour)
{
    QImage out(coverage.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb rgb = colour.rgba();
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* from = coverage.constScanLine(y);
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < coverage.width(); ++x) {
            const int a = from[x] * qAlpha(rgb) / 255;
            to[x] = qRgba(qRed(rgb) * a / 255, qGreen(rgb) * a / 255, qBlue(rgb) * a / 255, a);
        }
    }
    return out;
}

} // namespace

double GlyphPainter::height(const ShapedText& text, double pixelSize)
{
    return static_cast<double>(text.lines.size()) * text.lineHeight() * pixelSize / text.unitsPerEm;
}

void GlyphPainter::forgetIfStale(const QColor& colour)
{
    if (generation_ == typesetter_.generation() && colour_ == colour) return;
    images_.clear();
    bytes_ = 0;
    if (generation_ != typesetter_.generation()) outlines_.clear();
    generation_ = typesetter_.generation();
    colour_ = colour;
}

const GlyphPainter::Drawn& GlyphPainter::image(unsigned glyph, double pixelSize, int phase, int phases)
{
    const std::uint64_t key = std::uint64_t{glyph} << 32 | std::uint64_t(std::lround(pixelSize * 64)) << 3 |
                              static_cast<std::uint64_t>(phase);
    if (auto it = images_.constFind(key); it != images_.constEnd()) return *it;
    Drawn drawn;
    if (auto made = typesetter_.glyphs().image(glyph, pixelSize, static_cast<double>(phase) / phases)) {
        drawn.offset = made->offset;
        drawn.image = made->image.format() == QImage::Format_Alpha8 ? tinted(made->image, colour_)
                                                                    : std::move(made->image);
    }
    const auto bytes = static_cast<std::size_t>(drawn.image.sizeInBytes()) + 64;
    if (bytes_ + bytes > kMostCacheBytes) {
        images_.clear();
        bytes_ = 0;
    }
    bytes_ += bytes;
    return *images_.insert(key, std::move(drawn));
}

const QPainterPath& GlyphPainter::outline(unsigned glyph)
{
    if (auto it = outlines_.constFind(glyph); it != outlines_.constEnd()) return *it;
    if (outlines_.size() >= kMostOutlines) outlines_.clear();
    return *outlines_.insert(glyph, typesetter_.glyphs().outline(glyph));
}

void GlyphPainter::paint(QPainter& painter, const ShapedText& text, const QRectF& area, double pixelSize,
                         const QColor& colour, bool outlines)
{
    if (text.unitsPerEm <= 0 || pixelSize <= 0) return;
    const double lineHeight = text.lineHeight() * pixelSize / text.unitsPerEm;
    const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : QRectF();
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const double top = area.top() + static_cast<double>(i) * lineHeight;
        if (!clip.isNull() && (top > clip.bottom() || top + lineHeight < clip.top())) continue;
        paintLine(painter, text, i, top, area.left(), area.right(), pixelSize, colour, outlines);
    }
}

void GlyphPainter::paintLine(QPainter& painter, const ShapedText& text, std::size_t index, double top,
                             double left, double right, double pixelSize, const QColor& colour, bool outlines)
{
    if (text.unitsPerEm <= 0 || pixelSize <= 0 || index >= text.lines.size()) return;
    forgetIfStale(colour);
    const ShapedLine& line = text.lines[index];
    const double scale = pixelSize / text.unitsPerEm;
    // Images are drawn at the device's own pixels: twice as many on a screen scaled twice.
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double devicePixels = pixelSize * ratio;
    const int phases = devicePixels < kQuarterPixelsBelow ? 4 : 1;
    const double baseline = top + text.ascender * scale;
    const double start = line.rightToLeft ? right - line.width * scale : left;
    // Glyphs out of sight are not drawn: a waterfall's long line runs far past the window at 72 pt. An em
    // either side keeps a glyph that reaches beyond its advance.
    QRectF seen = painter.hasClipping() ? painter.clipBoundingRect() : QRectF();
    if (seen.isNull() && painter.device())
        seen = QRectF(0, 0, painter.device()->width() / ratio, painter.device()->height() / ratio);
    seen = painter.transform().inverted().mapRect(seen);
    for (const ShapedGlyph& g : line.glyphs) {
        const double x = start + (g.x + g.xOffset) * scale;
        const double y = baseline - g.yOffset * scale;
        if (!seen.isNull() &&
            (x > seen.right() + pixelSize || x + g.xAdvance * scale < seen.left() - pixelSize))
            continue;
        if (outlines) {
            const QPainterPath& path = outline(g.glyph);
            if (!path.isEmpty()) {
                painter.save();
                painter.translate(x, y);
                painter.scale(scale, scale);
                painter.fillPath(path, colour);
                painter.restore();
                continue;
            }
        }
        // In device pixels: a whole pixel and a phase of it, the baseline on a whole pixel.
        const double deviceX = x * ratio;
        double whole = std::floor(deviceX);
        int phase = static_cast<int>(std::lround((deviceX - whole) * phases));
        if (phase == phases) {
            phase = 0;
            whole += 1;
        }
        const Drawn& drawn = image(g.glyph, devicePixels, phase, phases);
        if (drawn.image.isNull()) continue;
        const QPointF at((whole + drawn.offset.x()) / ratio,
                         (std::round(y * ratio) + drawn.offset.y()) / ratio);
        if (ratio == 1.0) {
            painter.drawImage(at, drawn.image);
        } else {
            QImage scaled = drawn.image;
            scaled.setDevicePixelRatio(ratio);
            painter.drawImage(at, scaled);
        }
    }
}

} // namespace quillon::typeset
