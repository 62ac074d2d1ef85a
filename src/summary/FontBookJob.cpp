#include "summary/FontBookJob.h"

#include "platform/Printers.h"
#include "summary/FontBook.h"
#include "summary/FontBookPdf.h"
#include "summary/SummaryPainter.h"

namespace quillon {

QString FontBookJob::print(platform::Printers& printers, platform::FontSystem& fonts,
                           const QStringList& faces, const QString& labelFace, int copies,
                           const std::function<void(int done, int total)>& progress, int pagesPerPart,
                           const std::function<bool()>& cancelled, QStringList* leftOut)
{
    const FontBook book(faces);
    if (faces.isEmpty() || copies < 1) return QStringLiteral("nothing to print");
    std::optional<platform::PaintedDocument> document = printers.openPaintedDocument();
    if (!document || (!document->device && document->pdfFile.isEmpty()))
        return QStringLiteral("this printer cannot print the book");

    // One page's faces: each face is drawn once a copy, and what is kept holds the face's font loaded.
    SummaryPainter rows(labelFace, &FontBook::rowDevice(), FontBook::kRowsPerPage);
    rows.useFontSystem(&fonts, nullptr); // text, not pictures of it: the printer gets the fonts themselves
    const int total = book.pageCount() * copies;
    const auto pageDone = [&](int page) {
        if (progress) progress(page, total);
    };
    if (!document->device) {
        FontBookPdf::Settings settings;
        settings.layout = document->pdfLayout;
        settings.copies = copies;
        settings.pagesPerPart = pagesPerPart;
        settings.title = QStringLiteral("Quillon font book");
        settings.progress = [&](int done, int all) {
            if (progress) progress(done, all); // the total shrinks when a face is left out
        };
        settings.cancelled = cancelled;
        settings.leftOut = leftOut;
        return FontBookPdf::write(book, rows, document->pdfFile, settings);
    }
    // A printer gets one document: Qt's print path offers no way to hand CUPS a finished file, so the fonts
    // of a whole book stay loaded until the job goes out.
    const bool printed = book.print(*document->device, rows, pageDone, copies);
    document->device.reset(); // the job goes out
    return printed ? QString() : QStringLiteral("the book could not be printed");
}

} // namespace quillon
