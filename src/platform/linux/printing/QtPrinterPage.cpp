#include "platform/linux/printing/QtPrinterPage.h"

#include "platform/ScreenFace.h"
#include "platform/linux/printing/PdfFilePrinter.h"

#include <QFontMetricsF>
#include <QPen>

#include <algorithm>

namespace quillon::platform {

namespace {
constexpr double kTwipsPerInch = 1440.0;
} // namespace

QtPrinterPage::QtPrinterPage(Opener open, FontSystem* fonts) : open_(std::move(open)), fonts_(fonts) {}

QtPrinterPage::~QtPrinterPage()
{
    try {
        endDoc();
    } catch (const std::exception&) {
        // Nothing can be reported from here; the job is as complete as it will get.
    }
}

void QtPrinterPage::open()
{
    if (printer_) return;
    if (failed_) throw PrinterError("the print document could not be started");
    try {
        printer_ = open_ ? open_() : nullptr;
    } catch (const PrinterError&) {
        failed_ = true;
        throw;
    }
    if (!printer_ || !painter_.begin(printer_.get())) {
        printer_.reset();
        failed_ = true;
        throw PrinterError("the print document could not be started");
    }
    // Nothing is drawn where the printer cannot reach: a printer leaves out what falls past its printable
    // area, and so does the PDF destination (the rules run a little wider than A4's printable area).
    painter_.setClipRect(QRect(0, 0, printer_->width(), printer_->height()));
}

void QtPrinterPage::beforeDrawing()
{
    open();
    if (!breakPending_) return;
    breakPending_ = false;
    if (!printer_->newPage()) throw PrinterError("the printer refused a new page");
}

QPointF QtPrinterPage::toDevice(int xTwips, int yTwips) const
{
    // With fullPage off, QPainter's origin on a QPrinter is already the printable area's top left.
    return {xTwips * printer_->logicalDpiX() / kTwipsPerInch,
            yTwips * printer_->logicalDpiY() / kTwipsPerInch};
}

QFont QtPrinterPage::font() const
{
    if (!resolvedKnown_ || resolvedName_ != fontName_) {
        if (fonts_) {
            // The face the sample draws, as on the screen: a full name prints that face, not whatever Qt
            // falls back to for a family it does not know, and a letter the face lacks prints as the face's
            // own missing-glyph mark rather than borrowed from another font (an Arabic-only face must not
            // seem to have a Latin alphabet on paper).
            resolved_ = screenFaceFont(*fonts_, fontName_);
        } else {
            resolved_ = QFont();
            // setFamilies keeps a face name with a comma in it whole.
            resolved_.setFamilies({fontName_});
            resolved_.setStyleStrategy(QFont::NoFontMerging);
        }
        resolvedName_ = fontName_;
        resolvedKnown_ = true;
    }
    QFont f = resolved_;
    if (fontPoints_ > 0) f.setPointSizeF(fontPoints_);
    f.setBold(fontBold_);
    f.setItalic(fontItalic_);
    return f;
}

void QtPrinterPage::setFontName(const QString& name) { fontName_ = name; }

void QtPrinterPage::setFontSize(double points) { fontPoints_ = points; }

void QtPrinterPage::setFontBold(bool bold) { fontBold_ = bold; }

void QtPrinterPage::setFontItalic(bool italic) { fontItalic_ = italic; }

void QtPrinterPage::setPosition(int xTwips, int yTwips)
{
    x_ = xTwips;
    y_ = yTwips;
}

void QtPrinterPage::print(const QString& text)
{
    beforeDrawing();
    const QFont f = font();
    painter_.setFont(f);
    painter_.setPen(Qt::black);
    // The text's top stands at the position: its baseline lies one ascent lower.
    const QFontMetricsF metrics(painter_.font(), printer_.get());
    const QPointF at = toDevice(x_, y_);
    painter_.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
}

void QtPrinterPage::line(int x1Twips, int y1Twips, int x2Twips, int y2Twips)
{
    beforeDrawing();
    // One dot of a 600 dpi printer: thin, yet lines 5 twips apart stay apart.
    const double width = std::max(1.0, printer_->logicalDpiX() / 600.0);
    painter_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(toDevice(x1Twips, y1Twips), toDevice(x2Twips, y2Twips));
}

void QtPrinterPage::newPage()
{
    open();
    // Two breaks in a row leave a blank page between them, as on paper; a last break adds nothing.
    if (breakPending_ && !printer_->newPage()) throw PrinterError("the printer refused a new page");
    breakPending_ = true;
}

void QtPrinterPage::endDoc()
{
    const bool wasFailed = failed_;
    failed_ = false;
    breakPending_ = false;
    if (!printer_) {
        if (wasFailed) throw PrinterError("the print document had not started");
        return;
    }
    const bool ended = painter_.end();
    const bool error = printer_->printerState() == QPrinter::Error;
    const std::unique_ptr<QPrinter> printer = std::move(printer_);
    if (!ended || error) throw PrinterError("the print job could not be handed to the printer");
    if (auto* pdf = dynamic_cast<PdfFilePrinter*>(printer.get()); pdf && !pdf->finish())
        throw PrinterError(
            QStringLiteral("the PDF file %1 was not written (%2); an earlier file of that name "
                           "is as it was")
                .arg(pdf->target(), pdf->problem())
                .toStdString());
}

} // namespace quillon::platform
