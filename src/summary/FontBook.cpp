#include "summary/FontBook.h"

#include "base/WindowGeometry.h"
#include "summary/SummaryPainter.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <map>

namespace quillon {

namespace {

constexpr int kRowHeight = SummaryPainter::kRowHeight; // twips
constexpr int kHeaderBand = kRowHeight + 120;          // the header line and the gap under it
constexpr int kFooterBand = kRowHeight;
constexpr double kTwipsPerPoint = 20;
constexpr double kPointsPerPixel = 0.75; // a screen pixel at 96 dots an inch

// One line of text in the label font at screen size, its left edge at x; centred in `width` when given.
void drawLine(QPainter& painter, const QString& text, const QFont& font, double x, double y,
              double width = -1)
{
    QTextLayout layout(text, font, &FontBook::rowDevice());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const double left = width < 0 ? x : x + std::max(0.0, (width - line.naturalTextWidth()) / 2);
    layout.draw(&painter, QPointF(left, y));
}

} // namespace

FontBook::FontBook(QStringList faces) : faces_(std::move(faces)) {}

QStringList FontBook::sortedLikeSummary(QStringList faces)
{
    std::stable_sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return faces;
}

QString FontBook::letterOf(const QString& face)
{
    if (face.isEmpty()) return QStringLiteral("#");
    const char32_t first = face.at(0).isHighSurrogate() && face.size() > 1
                               ? QChar::surrogateToUcs4(face.at(0), face.at(1))
                               : face.at(0).unicode();
    if (!QChar::isLetter(first)) return QStringLiteral("#");
    return QString::fromUcs4(&first, 1).toUpper();
}

int FontBook::pageCount() const { return int((faces_.size() + kRowsPerPage - 1) / kRowsPerPage); }

double FontBook::Geometry::rowTop(int row) const
{
    return rows.top() + row * kRowHeight * scale / kTwipsPerPoint;
}

FontBook::Geometry FontBook::geometry(const QPageLayout& layout)
{
    const QRectF sheet = layout.fullRect(QPageLayout::Point);
    const QRectF margins = sheet.adjusted(kMarginPoints, kMarginPoints, -kMarginPoints, -kMarginPoints);
    Geometry g;
    g.area = margins.intersected(layout.paintRect(QPageLayout::Point));
    const double tall = kHeaderBand + kPictureHeight + 120 + kFooterBand;
    g.scale = std::max(0.1, std::min(g.area.width() * kTwipsPerPoint / kPictureWidth,
                                     g.area.height() * kTwipsPerPoint / tall));
    const double pt = g.scale / kTwipsPerPoint; // points per twip on the sheet
    g.header = QRectF(g.area.left(), g.area.top(), g.area.width(), kRowHeight * pt);
    g.rows = QRectF(g.area.left(), g.area.top() + kHeaderBand * pt, kPictureWidth * pt, kPictureHeight * pt);
    g.footer = QRectF(g.area.left(), g.area.bottom() - kFooterBand * pt, g.area.width(), kFooterBand * pt);
    return g;
}

QPaintDevice& FontBook::rowDevice()
{
    // The screen's resolution whatever the screen: the sheet scales the rows itself.
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96 dots an inch
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return device;
}

bool FontBook::print(QPagedPaintDevice& device, SummaryPainter& rows,
                     const std::function<void(int page)>& pageDone, int copies) const
{
    if (copies < 1) return false;
    return printSheets(device, rows, 0, pageCount() * copies, pageDone);
}

bool FontBook::printSheets(QPagedPaintDevice& device, SummaryPainter& rows, int first, int count,
                           const std::function<void(int sheet)>& pageDone) const
{
    if (faces_.isEmpty() || first < 0 || count < 1) return false;
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QPageLayout layout = device.pageLayout();
    const Geometry sheet = geometry(layout);
    const double dotsPerPoint = device.logicalDpiY() / 72.0;
    const QPointF origin = layout.paintRect(QPageLayout::Point).topLeft(); // where the painter starts
    for (int sheetNumber = first; sheetNumber < first + count; ++sheetNumber) {
        if (sheetNumber > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(dotsPerPoint, dotsPerPoint);
        painter.translate(-origin);
        drawPage(painter, sheet, sheetNumber % pageCount(), rows);
        painter.restore();
        if (pageDone) pageDone(sheetNumber + 1);
    }
    return painter.end();
}

void FontBook::drawPage(QPainter& painter, const Geometry& g, int page, SummaryPainter& rows) const
{
    const double toSheet = g.scale * kPointsPerPixel; // screen pixels to points
    const int first = page * kRowsPerPage;
    const int last = std::min<int>(first + kRowsPerPage, int(faces_.size())) - 1;
    const QFont label = rows.labelFont();

    painter.save();
    painter.translate(g.header.topLeft());
    painter.scale(toSheet, toSheet);
    const QString span =
        first == last ? faces_[first] : faces_[first] + QStringLiteral(" \u2013 ") + faces_[last];
    drawLine(painter, span, label, px(SummaryPainter::kLabelX), 0);
    painter.restore();

    painter.save();
    painter.translate(g.rows.topLeft());
    painter.scale(toSheet, toSheet);
    painter.setClipRect(QRectF(0, 0, px(kPictureWidth), px(kPictureHeight)));
    for (int index = first; index <= last; ++index)
        rows.drawRow(painter, index - first, faces_[index], Qt::black, Qt::white);
    painter.restore();

    painter.save();
    painter.translate(g.footer.topLeft());
    painter.scale(toSheet, toSheet);
    drawLine(painter, QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount()), label, 0, 0,
             g.footer.width() / toSheet);
    painter.restore();
}

std::vector<PdfOutlineItem> FontBook::outline(const Geometry& geometry, double sheetHeightPoints) const
{
    // A letter whose faces are not all together (a sort without regard to case can part them) is one entry,
    // at its first face.
    std::vector<PdfOutlineItem> letters;
    std::map<QString, std::size_t> where;
    for (int index = 0; index < faces_.size(); ++index) {
        PdfOutlineItem face;
        face.title = faces_[index];
        face.page = index / kRowsPerPage;
        face.top = sheetHeightPoints - geometry.rowTop(index % kRowsPerPage);
        const QString letter = letterOf(faces_[index]);
        auto [at, added] = where.try_emplace(letter, letters.size());
        if (added) letters.push_back({letter, face.page, face.top, {}});
        letters[at->second].children.push_back(std::move(face));
    }
    return letters;
}

} // namespace quillon
