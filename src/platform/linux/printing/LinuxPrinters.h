#pragma once
// The printers on Linux: the CUPS queues Qt lists, plus a PDF file destination that is always there. The
// current printer belongs to the process: it starts as the system's default printer (the PDF destination
// when there is none) and changes only through setCurrentPrinter.

#include "platform/Printers.h"
#include "platform/linux/printing/QtPrinterPage.h"

#include <QList>
#include <QMarginsF>
#include <QPageSize>

#include <functional>
#include <optional>

namespace quillon::platform {

class LinuxPrinters final : public Printers {
public:
    /// The PDF destination's device name. CUPS queue names cannot hold a blank, so no queue is called so.
    static const QString kPdfDeviceName;

    /// Asks the user where the PDF goes, suggesting a path; returns the chosen path, or empty when cancelled.
    using FileChooser = std::function<QString(const QString& suggested)>;

    /// choose: asks for the PDF file when no output file is set; by default the standard save dialog.
    /// fonts: the font mapper the page draws face names through.
    explicit LinuxPrinters(FileChooser choose = {}, FontSystem* fonts = nullptr);

    QStringList deviceNames() override;
    QString currentDeviceName() override;
    bool setCurrentPrinter(const QString& deviceName) override;
    PrinterPage& printer() override { return page_; }
    void setOutputFile(const QString& path) override { outputFile_ = path; }
    std::optional<PaintedDocument> openPaintedDocument() override;

    /// A CUPS queue as the system lists it: its queue name and its description (what desktops show).
    struct Queue {
        QString name;
        QString description;
    };
    /// The device name of each queue, in the same order: the description when it is set, unique among the
    /// queues and not the PDF destination's name; otherwise the queue name, which CUPS keeps unique.
    static QStringList deviceNamesFor(const QList<Queue>& queues);

    /// The page the PDF destination prints on: Letter where the locale measures in inches, else A4.
    static QPageSize pdfPageSize();
    /// The PDF destination's margins, points: a quarter inch all round, the printable area of a usual CUPS
    /// queue, so a PDF printed on paper at full size loses nothing.
    static QMarginsF pdfMargins();
    /// The names the PDF file choice suggests for a sample page and for a font book.
    static const QString kSamplePageFileName;
    static const QString kFontBookFileName;
    /// The documents folder (the home folder when there is none) joined with fileName.
    static QString suggestedPdfPath(const QString& fileName = kSamplePageFileName);

private:
    struct Device {
        QString deviceName;
        QString queue; // empty for the PDF destination
    };
    QList<Device> devices();
    void chooseDefault();
    /// documentName: the job's name; fileName: the PDF file name suggested when none is set.
    std::unique_ptr<QPrinter> openCurrent(const QString& documentName, const QString& fileName);

    FileChooser choose_;
    QString outputFile_;
    std::optional<Device> current_;
    QtPrinterPage page_;
};

} // namespace quillon::platform
