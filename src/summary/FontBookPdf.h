#pragma once
// Writes a book of faces to a PDF file with its outline by first letter, in bounded memory whatever the
// number of faces. Qt's PDF writer keeps every font it has drawn with loaded (file, shaping tables, glyph
// outlines) until its document ends, about a fifth of a megabyte a face, so a book of every face on a machine
// would hold them all. The book is therefore written in parts of a few pages, each a document of its own in
// a private folder beside the target, each letting go of its fonts when it ends; PdfJoin then puts the parts
// together and PdfOutline adds the outline.
//
// The target is replaced only once the whole book came out: an earlier file of that name stays as it was
// otherwise, and the parts are removed either way (and those of a run that was killed, at the next run).
// A face Qt's writer cannot write readably (it has written broken font descriptions for damaged fonts) is
// left out of the book and named, with the reason, on a closing page.

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

namespace quillon {

class FontBook;
class SummaryPainter;

struct FontBookPdf {
    /// Pages a part holds by default: 128 faces. Measured on 1,699 faces (107 pages): the peak stays near
    /// 118 MiB from 1 to 16 pages a part and reaches 172 MiB at 32; smaller parts make a larger file (each
    /// part embeds the label font anew: 6.7 MB at 1 page, 6.0 MB at 8, 5.9 MB as one document).
    static constexpr int kPagesPerPart = 8;

    struct Settings {
        QPageLayout layout; // the sheet and the printer's margins
        int copies = 1;     // whole books, one after the other, in the one file
        int pagesPerPart = kPagesPerPart;
        QString title; // the document's title, as readers show it
        /// Called after each sheet with the sheets done and the sheets in all; may be empty.
        std::function<void(int done, int total)> progress;
        /// Asked between sheets; true gives up the book (kCancelled): no file is written. May be empty.
        std::function<bool()> cancelled;
        /// Receives the faces left out, each as "face: reason"; may be null.
        QStringList* leftOut = nullptr;
    };
    inline static const QString kCancelled = QStringLiteral("cancelled");

    /// Writes `book` to the file at path. rows: the row painter, made with FontBook::rowDevice(). Returns an
    /// empty text on success, else what went wrong.
    static QString write(const FontBook& book, SummaryPainter& rows, const QString& path,
                         const Settings& settings);
};

} // namespace quillon
