#include "summary/SummaryPainter.h"

#include "shell/Twips.h"

#include <QPainter>
#include <QTextLayout>

namespace quillon {

const QString SummaryPainter::kSample = QStringLiteral("ABCDEFGabcdefg1234567890");

SummaryPainter::SummaryPainter(QString labelFace, QPaintDevice* device, int cacheFaces)
    : labelFace_(std::move(labelFace)), device_(device), labels_(cacheFaces), samples_(cacheFaces)
{
}

void SummaryPainter::setFaceFont(FaceFont faceFont)
{
    faceFont_ = std::move(faceFont);
    labels_.clear();
    samples_.clear();
}

QFont SummaryPainter::faceFont(const QString& face) const
{
    QFont font;
    if (faceFont_)
        font = faceFont_(face);
    else
        font.setFamilies({face}); // one family, taken as it stands: never split at commas into a list
    font.setPointSize(kPointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(false);
    // Characters the face lacks show as the face shows them, not in another font: the row is there to
    // compare the faces themselves.
    font.setStyleStrategy(QFont::NoFontMerging);
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

void SummaryPainter::draw(QPainter& painter, const QPointF& at, const Text& text, const QColor& colour,
                          const QColor& background) const
{
    painter.fillRect(QRectF(at, text.cell), background);
    painter.setPen(colour);
    for (const QGlyphRun& run : text.runs) painter.drawGlyphRun(at, run);
}

void SummaryPainter::drawRow(QPainter& painter, int row, const QString& face, const QColor& text,
                             const QColor& background)
{
    const int y = px(row * kRowHeight);
    // A text is drawn before it goes into the cache: inserting may evict (and delete) an older entry.
    const QPointF labelAt(px(kLabelX), y);
    if (const Text* label = labels_.object(face)) {
        draw(painter, labelAt, *label, text, background);
    } else {
        auto* made = new Text(layout(face + QLatin1Char(':'), labelFont()));
        draw(painter, labelAt, *made, text, background);
        labels_.insert(face, made);
    }
    const QPointF sampleAt(px(kSampleX), y);
    if (const Text* sample = samples_.object(face)) {
        draw(painter, sampleAt, *sample, text, background);
    } else {
        auto* made = new Text(layout(kSample, faceFont(face)));
        draw(painter, sampleAt, *made, text, background);
        samples_.insert(face, made);
    }
}

} // namespace quillon
