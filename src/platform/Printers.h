#pragma once
// The printers of the machine and the program's current printer, with the page-drawing operations the
// sample page is printed through. On Windows these are the printer collection and the printer object; on
// Linux the CUPS queues plus a PDF file destination (platform/linux/LinuxPrinters).

#include <QPagedPaintDevice>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>

namespace quillon::platform {

/// Raised by a printer operation that failed (no printer, a job that could not start, a page that could not
/// be added). Callers that print several copies catch it per copy and go on.
class PrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The user gave the document up before anything was printed (no file chosen for a PDF).
class PrinterCancelled : public PrinterError {
public:
    using PrinterError::PrinterError;
};

/// The drawing operations of one printer document. The document starts with the first operation and ends
/// with EndDoc, so every page drawn in between goes out as a single job.
/// Positions are twips (1/1440 inch) from the top left of the printable area; font sizes are points.
/// Every operation may raise PrinterError.
class PrinterPage {
public:
    virtual ~PrinterPage() = default;

    /// The font for the text that follows; each part stays in force until it is set again.
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontItalic(bool italic) = 0;

    /// The current position: the top left of the next text printed.
    virtual void setPosition(int xTwips, int yTwips) = 0;
    /// Prints one line of text with its top at the current position (the position itself is not advanced).
    virtual void print(const QString& text) = 0;
    /// A straight line of the thinnest width the printer draws.
    virtual void line(int x1Twips, int y1Twips, int x2Twips, int y2Twips) = 0;
    /// Ends the current page. A page break with nothing drawn after it adds no page when the document ends.
    virtual void newPage() = 0;
    /// Ends the document and hands the job to the printer. Does nothing when nothing was drawn.
    virtual void endDoc() = 0;
};

/// A document drawn with a painter, for pages the operations of PrinterPage cannot express (a book of faces,
/// each row in its own face). A printer gives a device, and the job goes to the printer when painting on it
/// ends. The PDF destination gives the file and the sheet instead, and the caller writes the file itself: a
/// long document is written in parts (see summary/FontBookPdf), which one device cannot do.
struct PaintedDocument {
    std::unique_ptr<QPagedPaintDevice> device; // a printer's; null for the PDF destination
    QString pdfFile;                           // the PDF destination's file; empty for a printer
    QPageLayout pdfLayout;                     // the PDF destination's sheet and margins
};

class Printers {
public:
    virtual ~Printers() = default;

    /// The device names of the printers now present, in the system's order. Names are unique.
    virtual QStringList deviceNames() = 0;
    /// The device name of the program's current printer; empty when there is none.
    virtual QString currentDeviceName() = 0;
    /// Makes the printer of that device name the current one for the rest of the process. Returns false, and
    /// keeps the current printer, when no printer has that name. A document already started stays on the
    /// printer it was started on until EndDoc.
    virtual bool setCurrentPrinter(const QString& deviceName) = 0;
    /// The current printer's drawing operations. The reference lives as long as this object.
    virtual PrinterPage& printer() = 0;
    /// For printers that write a file rather than paper: where the next documents go, instead of asking the
    /// user. Empty asks again. Printers that print on paper ignore it.
    virtual void setOutputFile(const QString& path) = 0;

    /// A painted document on the current printer, for the PDF destination in the output file (asking for it
    /// when none is set, suggesting a font book's name). Raises PrinterError when it cannot be opened (the
    /// printer went away, the user cancelled the file choice); nullopt where this kind of printer cannot be
    /// painted on.
    virtual std::optional<PaintedDocument> openPaintedDocument() { return std::nullopt; }
};

} // namespace quillon::platform
