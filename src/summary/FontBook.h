#pragma once
// A book of faces for paper or PDF: every face a row in its own face, drawn by the summary window's row
// painter exactly as the window draws it (the name and ":" in the ordinary lettering, the sample beside it),
// sixteen rows a page in the window's order. Above the rows stand the first and last face of the page, as in
// a dictionary, and below them the page number. The rows keep the window's proportions, scaled to fill the
// width of the sheet inside a margin.
//
// Faces are drawn one page at a time and nothing of a page is kept after it, so thousands of faces cost the
// time of drawing them and the memory of one page plus what the output device keeps (a PDF writer keeps every
// font it drew with: FontBookPdf writes a PDF in parts for that reason).

#include "pdf/PdfOutline.h"

#include <QPageLayout>
#include <QRectF>
#include <QStringList>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace quillon {

class SummaryPainter;

class FontBook {
public:
    static constexpr int kRowsPerPage = 16;
    /// The summary picture's size, twips: the rows are clipped to it as the window clips them.
    static constexpr int kPictureWidth = 4905;
    static constexpr int kPictureHeight = 3855;
    /// Distance kept from the sheet's edges whatever the printer's margins, points.
    static constexpr double kMarginPoints = 36;

    /// faces: the faces in the order printed (see sortedLikeSummary); copied.
    explicit FontBook(QStringList faces);

    /// The faces sorted as the summary window lists them: without regard to case, equal names in the
    /// order given.
    static QStringList sortedLikeSummary(QStringList faces);
    /// The letter a face is filed under in the outline: its first character (a whole character, also outside
    /// the basic plane) in upper case; "#" for a name that starts with something other than a letter.
    static QString letterOf(const QString& face);

    const QStringList& faces() const { return faces_; }
    int pageCount() const;

    /// Where things go on a sheet of this layout: the block of rows and the bands above and below it, in
    /// points from the sheet's top left, and how much larger than on screen everything is drawn.
    struct Geometry {
        QRectF area;                  // inside the margins
        QRectF header;                // the first and last face of the page
        QRectF rows;                  // the sixteen rows (the summary picture, scaled)
        QRectF footer;                // the page number
        double scale = 1;             // sheet size over screen size
        double rowTop(int row) const; // points from the sheet's top
    };
    static Geometry geometry(const QPageLayout& layout);

    /// Draws every page on device, from its first page on. rows: the row painter, made with rowDevice() as
    /// its device so that it lays text out at screen size. pageDone: called after each page with its number
    /// (from 1, counting on through the copies); may be empty. copies: whole books, one after the other, in
    /// the one document. Returns false when there is no face, the device could not be painted on (nothing
    /// drawn) or a page could not be added.
    bool print(QPagedPaintDevice& device, SummaryPainter& rows,
               const std::function<void(int page)>& pageDone = {}, int copies = 1) const;
    /// Draws the sheets [first, first + count) of copies following one another (sheet s shows page
    /// s % pageCount()) on device, from its first page on, as print() does; pageDone gets each sheet's number
    /// from 1. A book written in parts draws each part's sheets on a device of its own.
    bool printSheets(QPagedPaintDevice& device, SummaryPainter& rows, int first, int count,
                     const std::function<void(int sheet)>& pageDone = {}) const;

    /// The outline for a PDF of this book: one entry a first letter, pointing at the row of its first face,
    /// holding an entry for each of its faces. geometry: the sheet's, as print() used it.
    std::vector<PdfOutlineItem> outline(const Geometry& geometry, double sheetHeightPoints) const;

    /// A paint device of the screen's resolution (96 dots an inch) for the row painter to lay text out on.
    static QPaintDevice& rowDevice();

private:
    void drawPage(QPainter& painter, const Geometry& sheet, int page, SummaryPainter& rows) const;

    QStringList faces_;
};

} // namespace quillon
