#pragma once
// Adds an outline (the bookmarks a PDF reader lists beside the pages) to a PDF file that has none. Qt's PDF
// writer offers no way to make one, so the file is finished first and the outline is then appended as an
// incremental update: new objects, a new catalogue naming them, and a cross-reference section that points
// back at the original one. Nothing already in the file is rewritten, so a failure leaves it as it was.
//
// It reads only what it needs through PdfFile, each read bounded: the trailer at the end, the cross-reference
// table, the catalogue and the page tree. It understands the classic cross-reference table with a flat page
// tree (what Qt writes, and what PdfJoin writes); any other file is refused with a reason, never guessed at.
// The update keeps the first half of the file's identifier (/ID) and gives it a new second half, as for a
// changed file.

#include <QString>

#include <vector>

namespace quillon {

struct PdfOutlineItem {
    QString title;   // shown as it is; long titles are cut at kMaxTitle characters
    int page = 0;    // counted from 0
    double top = -1; // where the view starts on that page: points above the page's bottom edge; < 0 the top
    std::vector<PdfOutlineItem> children; // shown folded until opened
};

class PdfOutline {
public:
    static constexpr int kMaxTitle = 256;

    /// path: the finished PDF file the outline goes into.
    explicit PdfOutline(QString path) : path_(std::move(path)) {}
    /// Appends the outline to the file and makes readers open with it showing. False when the file was left
    /// as it was: problem() says why (not a PDF of the kind described above, a page number past the last
    /// page, a failed write), and the log too, under quillon.printing.
    bool add(const std::vector<PdfOutlineItem>& items);
    const QString& problem() const { return problem_; }

    /// The PDF text string of a title: a literal string when it is printable ASCII, else UTF-16 with a
    /// byte-order mark, in hexadecimal.
    static QByteArray textString(const QString& title);

private:
    QString path_;
    QString problem_;
};

} // namespace quillon
