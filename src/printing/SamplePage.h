#pragma once
// The printed sample page of one face: a heading, the details text, the alphabet and digits at 12 points in
// normal, bold and italic, and a pangram at eight sizes from 8 to 72 points. Laid out at fixed twip
// positions; nothing on the page is measured, so every copy comes out the same on any printer.

#include "platform/Printers.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillon {

class SamplePage {
public:
    /// printer: where the page is drawn; not owned, must outlive this object.
    explicit SamplePage(platform::PrinterPage& printer) : printer_(printer) {}

    /// Prints exactly one page for the face and ends it with a page break. face is the face name as the
    /// main window shows it; details is the details text, lines separated by CR LF. A PrinterError from the
    /// printer leaves the page at that point and reaches the caller.
    void PrintSamplePage(const QString& face, const QString& details);
    /// Three horizontal lines 5 twips apart, from x 60 to 11970, starting at printY (which is unchanged).
    void DrawRule();

    /// Vertical position of the next line, twips from the top of the printable area; 120 at each page start.
    std::int32_t printY() const { return printY_; }

    /// The details text as lines: split at each CR LF pair; a trailing pair adds no line, an empty text none.
    static QStringList detailLines(const QString& details);

private:
    void printAt(int x, const QString& text);
    void labelFont(double points);
    void sampleFont(const QString& face, double points, bool bold, bool italic);

    platform::PrinterPage& printer_;
    std::int32_t printY_ = 0;
};

/// Prints copies sample pages through one document on printer and ends it, so that they form one job.
/// Errors of a copy end that copy only; the next one is still printed and the document is still ended.
/// Returns the number of copies and end-of-document steps that failed (0 when all went through); problem,
/// when given, receives the reason of the last failure.
int PrintSampleCopies(platform::PrinterPage& printer, SamplePage& page, int copies, const QString& face,
                      const QString& details, QString* problem = nullptr);

} // namespace quillon
