#include "summary/FontBookJob.h"

#include "platform/Printers.h"
#include "summary/FontBook.h"
#include "summary/SummaryPainter.h"

namespace quillon {

QString FontBookJob::print(platform::Printers& printers, platform::FontSystem& fonts,
                           const QStringList& faces, const QString& labelFace, int copies,
                           const std::function<void(int done, int total)>& progress)
{
    const FontBook book(faces);
    if (faces.isEmpty() || copies < 1) return QStringLiteral("nothing to print");
    std::optional<platform::PaintedDocument> document = printers.openPaintedDocument();
    if (!document || !document->device) return QStringLiteral("this printer cannot print the book");
    const QPageLayout layout = document->device->pageLayout();

    SummaryPainter rows(labelFace, &FontBook::rowDevice());
    rows.useFontSystem(&fonts, nullptr); // text, not pictures of it: the printer gets the fonts themselves
    const int total = book.pageCount() * copies;
    const bool printed = book.print(
        *document->device, rows,
        [&](int page) {
            if (progress) progress(page, total);
        },
        copies);
    document->device.reset(); // the job goes out, the file is closed
    if (!printed) return QStringLiteral("the book could not be printed");
    if (document->pdfFile.isEmpty()) return QString();
    return PdfOutline::add(document->pdfFile, book.outline(FontBook::geometry(layout),
                                                           layout.fullRect(QPageLayout::Point).height()));
}

} // namespace quillon
