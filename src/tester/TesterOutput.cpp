#include "tester/TesterOutput.h"

#include "opentype/TagNames.h"
#include "platform/ReplacingFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace quillon::tester {

namespace {

constexpr double kImageMargin = 16; // pixels around the sample in an image
constexpr double kPageMargin = 42;  // points around a PDF page

/// The first line of the text: a waterfall shows one line at each size.
QString firstLine(const QString& text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r' && text[end] != QChar(0x2029)) ++end;
    return text.left(end);
}

QString tagWords(const QByteArray& tag, const QString& name)
{
    const QString trimmed = QString::fromLatin1(tag).trimmed();
    return name.isEmpty() ? trimmed : QStringLiteral("%1 (%2)").arg(name, trimmed);
}

} // namespace

void SampleLayout::lay(const typeset::Typesetter& typesetter, const Sample& sample, double dotsPerInch,
                       double width, const QFont& labels)
{
    blocks_.clear();
    labels_ = labels;
    const double unitsPerEm = typesetter.unitsPerEm();
    if (!sample.waterfall) {
        labelWidth_ = 0;
        const double pixelSize = sample.points * dotsPerInch / 72;
        Block block{
            typesetter.shape(sample.text, width > 0 ? width * unitsPerEm / pixelSize : 0), pixelSize, 0, {}};
        size_ = QSizeF(std::max(width, block.text.width() * pixelSize / unitsPerEm),
                       typeset::GlyphPainter::height(block.text, pixelSize));
        blocks_.push_back(std::move(block));
        return;
    }
    const QFontMetricsF metrics(labels);
    labelWidth_ = metrics.horizontalAdvance(QStringLiteral("72 pt")) + metrics.averageCharWidth() * 2;
    const typeset::ShapedText line = typesetter.shape(firstLine(sample.text));
    double top = 0;
    double widest = 0;
    for (double points : kWaterfallSizes) {
        const double pixelSize = points * dotsPerInch / 72;
        Block block{line, pixelSize, top, QStringLiteral("%1 pt").arg(points)};
        top += std::max(typeset::GlyphPainter::height(line, pixelSize), metrics.height()) + pixelSize / 4;
        widest = std::max(widest, line.width() * pixelSize / unitsPerEm);
        blocks_.push_back(std::move(block));
    }
    size_ = QSizeF(labelWidth_ + widest, top);
}

void SampleLayout::paint(QPainter& painter, typeset::GlyphPainter& glyphs, QPointF topLeft, const QColor& ink,
                         bool outlines) const
{
    const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : QRectF();
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const Block& block = blocks_[b];
        const double top = topLeft.y() + block.top;
        const double bottom =
            b + 1 < blocks_.size() ? topLeft.y() + blocks_[b + 1].top : topLeft.y() + size_.height();
        if (!clip.isNull() && (top > clip.bottom() || bottom < clip.top())) continue;
        const QRectF area(topLeft.x() + labelWidth_, top, size_.width() - labelWidth_, bottom - top);
        if (!block.label.isEmpty()) {
            // The size is written on the first line's baseline, in the program's own font.
            const double baseline = top + block.text.ascender * block.pixelSize / block.text.unitsPerEm;
            painter.save();
            painter.setFont(labels_);
            painter.setPen(ink);
            painter.drawText(QPointF(topLeft.x(), baseline), block.label);
            painter.restore();
        }
        glyphs.paint(painter, block.text, area, block.pixelSize, ink, outlines);
    }
}

QStringList settingsWords(const typeset::Typesetter& typesetter, const Sample& sample)
{
    const typeset::FontSettings& settings = typesetter.settings();
    QStringList out;
    out << (sample.waterfall ? QStringLiteral("Sizes: waterfall, 8 to 72 pt")
                             : QStringLiteral("Size: %1 pt").arg(sample.points));
    QString features = settings.featuresText();
    out << QStringLiteral("Features: %1")
               .arg(features.isEmpty() ? QStringLiteral("the face's defaults")
                                       : features.replace(u',', QStringLiteral(", ")));
    if (!typesetter.tables().axes.empty()) {
        QStringList axes;
        for (std::size_t a = 0; a < typesetter.tables().axes.size(); ++a)
            axes << QStringLiteral("%1=%2").arg(
                QString::fromLatin1(typesetter.tables().axes[a].tag).trimmed(),
                QString::number(typesetter.coordinates()[a], 'g', 8));
        out << QStringLiteral("Axes: %1").arg(axes.join(QStringLiteral(", ")));
    }
    out << QStringLiteral("Script: %1")
               .arg(settings.script.isEmpty()
                        ? QStringLiteral("automatic")
                        : tagWords(settings.script, opentype::scriptName(settings.script)));
    out << QStringLiteral("Language: %1")
               .arg(settings.language.isEmpty()
                        ? QStringLiteral("default")
                        : tagWords(settings.language, opentype::languageName(settings.language.trimmed())));
    return out;
}

QImage sampleImage(typeset::Typesetter& typesetter, const Sample& sample, double dotsPerInch, double maxWidth,
                   const QFont& labels)
{
    SampleLayout layout;
    layout.lay(typesetter, sample, dotsPerInch, maxWidth > 0 ? std::max(1.0, maxWidth - 2 * kImageMargin) : 0,
               labels);
    const double width = std::ceil(layout.size().width() + 2 * kImageMargin);
    const double height = std::ceil(layout.size().height() + 2 * kImageMargin);
    if (!(width * height <= static_cast<double>(kMostImagePixels)) || width > 32767 || height > 32767)
        return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    QPainter painter(&image);
    typeset::GlyphPainter glyphs(typesetter);
    layout.paint(painter, glyphs, QPointF(kImageMargin, kImageMargin), Qt::black);
    return image;
}

QString writeSamplePdf(typeset::Typesetter& typesetter, const Sample& sample, const QString& path,
                       const QFont& labels)
{
    // Made in memory (a few pages of outlines), then written beside the target and put in its place only
    // when whole: a failure, a full disk among them, leaves an earlier file as it was.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&out);
        writer.setCreator(QStringLiteral("Quillon"));
        writer.setTitle(sample.face);
        writer.setResolution(72); // one unit a point
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kPageMargin, kPageMargin, kPageMargin, kPageMargin),
                                         QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer)) return QStringLiteral("cannot draw into the PDF");
        const QRectF page = writer.pageLayout().paintRectPoints();
        const QRectF content(0, 0, page.width(), page.height());

        QFont heading = labels;
        heading.setPointSizeF(14);
        heading.setBold(true);
        QFont small = labels;
        small.setPointSizeF(9);
        double y = 0;
        auto write = [&](const QFont& font, const QString& text) {
            const QFontMetricsF metrics(font, &writer);
            painter.setFont(font);
            painter.drawText(QRectF(0, y, content.width(), metrics.height()),
                             Qt::AlignLeft | Qt::TextSingleLine,
                             metrics.elidedText(text, Qt::ElideMiddle, content.width()));
            y += metrics.height();
        };
        painter.setPen(Qt::black);
        write(heading, sample.face);
        write(small, QStringLiteral("%1, face %2").arg(sample.file).arg((sample.index & 0xffff) + 1));
        for (const QString& line : settingsWords(typesetter, sample)) write(small, line);
        y += 18;

        SampleLayout layout;
        QFont waterfallLabels = labels;
        waterfallLabels.setPointSizeF(8);
        layout.lay(typesetter, sample, 72, content.width(), waterfallLabels);
        typeset::GlyphPainter glyphs(typesetter);
        // Line by line, a new page when the next line does not fit.
        for (const SampleLayout::Block& block : layout.blocks()) {
            const double lineHeight = block.text.lineHeight() * block.pixelSize / block.text.unitsPerEm;
            for (std::size_t line = 0; line < block.text.lines.size(); ++line) {
                if (y + lineHeight > content.bottom() && y > 0) {
                    if (!writer.newPage()) return QStringLiteral("cannot add a page to the PDF");
                    y = 0;
                }
                if (line == 0 && !block.label.isEmpty()) {
                    painter.setFont(waterfallLabels);
                    painter.drawText(
                        QPointF(0, y + block.text.ascender * block.pixelSize / block.text.unitsPerEm),
                        block.label);
                }
                // A waterfall's line longer than the page is cut at the page's edge and before the sizes,
                // not drawn over them (a right-to-left line runs out to the left).
                painter.save();
                if (!block.label.isEmpty())
                    painter.setClipRect(QRectF(layout.labelWidth(), y - lineHeight,
                                               content.width() - layout.labelWidth(), 3 * lineHeight));
                glyphs.paintLine(painter, block.text, line, y, layout.labelWidth(), content.width(),
                                 block.pixelSize, Qt::black, true);
                painter.restore();
                y += lineHeight;
            }
            if (!block.label.isEmpty()) y += block.pixelSize / 4;
        }
        if (!painter.end()) return QStringLiteral("cannot finish the PDF");
    }
    QString problem;
    if (!platform::ReplacingFile::replace(path, out.data(), &problem))
        return QStringLiteral("the file was not written: ") + problem;
    return {};
}

} // namespace quillon::tester
