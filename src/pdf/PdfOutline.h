#pragma once
// Adds an outline (the bookmarks a PDF reader lists beside the pages) to a PDF file that has none. Qt's PDF
// writer offers no way to make one, so the file is finished first and the outline is then appended as an
// incremental update: new objects, a new catalogue naming them, and a cross-reference section that points
// back at the original one. Nothing already in the file is rewritten, so a failure leaves it as it was.
//
// It reads only what it needs through PdfFile, each read bounded: the trailer at the end, the cross-reference
// table, the catalogue and the page tree. It understands the classic cross-reference table with a flat page
// tree (what Qt writes, and what PdfJoin writes); any other file is refused with a reason, never guessed at.

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

    /// Appends the outline to the file at path and makes readers open with it showing. Returns an empty
    /// text on success, else why the file was left as it was (not a PDF of the kind described above, a page
    /// number past the last page, a failed write).
    static QString add(const QString& path, const std::vector<PdfOutlineItem>& items);

    /// The PDF text string of a title: a literal string when it is printable ASCII, else UTF-16 with a
    /// byte-order mark, in hexadecimal.
    static QByteArray textString(const QString& title);
};

} // namespace quillon
