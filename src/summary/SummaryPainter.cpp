#include "summary/SummaryPainter.h"

#include "base/WindowGeometry.h"
#include "platform/FaceRasterizer.h"
#include "platform/FontSystem.h"
#include "platform/ScreenFace.h"

#include <QPainter>
#include <QTextLayout>

namespace quillon {

const QString SummaryPainter::kSample = QStringLiteral("ABCDEFGabcdefg1234567890");

SummaryPainter::SummaryPainter(QString labelFace, QPaintDevice* device, int cacheFaces)
    : labelFace_(std::move(labelFace)), device_(device), labels_(cacheFaces), samples_(cacheFaces)
{
}

void SummaryPainter::useFontSystem(platform::FontSystem* fonts, platform::FaceRasterizer* rasterizer)
{
    fonts_ = fonts;
    rasterizer_ = rasterizer;
    labels_.clear();
    samples_.clear();
}

void SummaryPainter::setSample(const QString& sample)
{
    sample_ = sample;
    samples_.clear();
}

double SummaryPainter::pixelSize() const
{
    const int dpi = device_ ? device_->logicalDpiY() : 96;
    return kPointSize * (dpi > 0 ? dpi : 96) / 72.0;
}

QFont SummaryPainter::faceFont(const QString& face) const
{
    // Characters the face lacks show as the face shows them, not in another font: the row is there to
    // compare the faces themselves.
    QFont font = fonts_ ? platform::screenFaceFont(*fonts_, face) : QFont();
    if (!fonts_) {
        font.setFamilies({face}); // one family, taken as it stands: never split at commas into a list
        font.setStyleStrategy(QFont::NoFontMerging);
    }
    font.setPointSize(kPointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(false);
    return font;
}

QFont SummaryPainter::labelFont() const
{
    QFont font(labelFace_);
    font.setPointSize(kPointSize);
    return font;
}

SummaryPainter::Text SummaryPainter::layout(const QString& text, const QFont& font) const
{
    QTextLayout layout(text, font, device_);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    Text result;
    if (line.isValid()) {
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        result.runs = layout.glyphRuns();
        result.cell = QSizeF(line.naturalTextWidth(), line.ascent() + line.descent());
    } else {
        layout.endLayout();
    }
    return result;
}

SummaryPainter::Text SummaryPainter::layoutSample(const QString& face) const
{
    if (fonts_ && rasterizer_) {
        if (const auto resolved = platform::drawnFace(*fonts_, face)) {
            // Drawn at the screen's device pixels, so the row is as sharp at 1.5 or 2 as at 1; its measures
            // come back in the logical pixels the rows are laid out in.
            const qreal ratio = device_ ? device_->devicePixelRatioF() : 1.0;
            if (auto line =
                    rasterizer_->rasterize(resolved->file, resolved->index, pixelSize() * ratio, sample_)) {
                Text text;
                text.coverage = std::move(line->coverage);
                text.coverage.setDevicePixelRatio(ratio);
                text.offset = QPointF(line->offset) / ratio;
                text.cell = QSizeF(line->advance, line->ascent + line->descent) / ratio;
                return text;
            }
        }
    }
    return layout(sample_, faceFont(face));
}

void SummaryPainter::draw(QPainter& painter, const QPointF& at, Text& text, const QColor& colour,
                          const QColor& background) const
{
    painter.fillRect(QRectF(at, text.cell), background);
    if (!text.coverage.isNull()) {
        if (text.tinted.isNull() || text.tint != colour.rgba()) {
            // The coverage becomes the text colour at that opacity, once per colour.
            QImage tinted(text.coverage.size(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < tinted.height(); ++y) {
                const uchar* from = text.coverage.constScanLine(y);
                auto* to = reinterpret_cast<QRgb*>(tinted.scanLine(y));
                for (int x = 0; x < tinted.width(); ++x)
                    to[x] = qPremultiply(
                        qRgba(colour.red(), colour.green(), colour.blue(), from[x] * colour.alpha() / 255));
            }
            tinted.setDevicePixelRatio(text.coverage.devicePixelRatio());
            text.tinted = std::move(tinted);
            text.tint = colour.rgba();
        }
        painter.drawImage(at + text.offset, text.tinted);
        return;
    }
    painter.setPen(colour);
    for (const QGlyphRun& run : text.runs) painter.drawGlyphRun(at, run);
}

void SummaryPainter::drawRow(QPainter& painter, int row, const QString& face, const QColor& text,
                             const QColor& background)
{
    const int y = px(row * kRowHeight);
    // A text is drawn before it goes into the cache: inserting may evict (and delete) an older entry.
    const QPointF labelAt(px(kLabelX), y);
    if (Text* label = labels_.object(face)) {
        draw(painter, labelAt, *label, text, background);
    } else {
        auto* made = new Text(layout(face + QLatin1Char(':'), labelFont()));
        draw(painter, labelAt, *made, text, background);
        labels_.insert(face, made);
    }
    const QPointF sampleAt(px(kSampleX), y);
    if (Text* sample = samples_.object(face)) {
        draw(painter, sampleAt, *sample, text, background);
    } else {
        auto* made = new Text(layoutSample(face));
        draw(painter, sampleAt, *made, text, background);
        samples_.insert(face, made);
    }
}

} // namespace quillon
