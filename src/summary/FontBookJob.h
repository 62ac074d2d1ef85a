#pragma once
// Prints a book of faces on the program's current printer: the summary window's "Print All Faces…" after
// the printer dialog's OK. The PDF destination's file is written in parts and gets the outline by first
// letter (FontBookPdf); a printer gets the book as one document.

#include "summary/FontBookPdf.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quillon {

namespace platform {
class FontSystem;
class Printers;
} // namespace platform

struct FontBookJob {
    /// faces: in the order printed. labelFace: the family of the name labels. progress: called after each
    /// page with the pages done and the pages in all; may be empty. pagesPerPart: how the PDF destination's
    /// file is written (FontBookPdf).
    /// Prints `copies` books as one job. Returns an empty text on success, else what went wrong; a printer
    /// that cannot be opened (the file choice cancelled) raises PrinterError as every printer operation does.
    /// The PDF destination's file is replaced only when the whole book came out. cancelled: asked between
    /// the PDF's sheets, true gives the book up (FontBookPdf::kCancelled, no file); may be empty. leftOut:
    /// receives the faces the PDF had to leave out, "face: reason" each; may be null.
    static QString print(platform::Printers& printers, platform::FontSystem& fonts, const QStringList& faces,
                         const QString& labelFace, int copies,
                         const std::function<void(int done, int total)>& progress = {},
                         int pagesPerPart = FontBookPdf::kPagesPerPart,
                         const std::function<bool()>& cancelled = {}, QStringList* leftOut = nullptr);
};

} // namespace quillon
