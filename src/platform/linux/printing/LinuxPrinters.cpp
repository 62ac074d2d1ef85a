#include "platform/linux/printing/LinuxPrinters.h"

#include "platform/linux/printing/PdfFilePrinter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QPrinterInfo>
#include <QSet>
#include <QStandardPaths>

namespace quillon::platform {

const QString LinuxPrinters::kPdfDeviceName = QStringLiteral("PDF File");
const QString LinuxPrinters::kSamplePageFileName = QStringLiteral("Sample page.pdf");
const QString LinuxPrinters::kFontBookFileName = QStringLiteral("Font book.pdf");

namespace {
const QString kSamplePageDocument = QStringLiteral("Quillon sample page");
const QString kFontBookDocument = QStringLiteral("Quillon font book");
} // namespace

namespace {

QString askForPdfFile(const QString& suggested)
{
    QFileDialog dialog(QApplication::activeWindow(), QObject::tr("Print to PDF File"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QObject::tr("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

LinuxPrinters::LinuxPrinters(FileChooser choose, FontSystem* fonts)
    : choose_(choose ? std::move(choose) : FileChooser(askForPdfFile)),
      page_([this] { return openCurrent(kSamplePageDocument, kSamplePageFileName); }, fonts)
{
}

QStringList LinuxPrinters::deviceNamesFor(const QList<Queue>& queues)
{
    QHash<QString, int> uses;
    for (const Queue& q : queues) ++uses[q.description];
    QStringList names;
    for (const Queue& q : queues) {
        const bool usable =
            !q.description.isEmpty() && uses.value(q.description) == 1 && q.description != kPdfDeviceName;
        names << (usable ? q.description : q.name);
    }
    // A description may still equal another queue's name; that queue keeps its name, this one falls back.
    QSet<QString> taken;
    for (qsizetype i = 0; i < queues.size(); ++i)
        if (names[i] == queues[i].name) taken.insert(names[i]);
    for (qsizetype i = 0; i < queues.size(); ++i)
        if (names[i] != queues[i].name && taken.contains(names[i])) names[i] = queues[i].name;
    return names;
}

QList<LinuxPrinters::Device> LinuxPrinters::devices()
{
    QList<Queue> queues;
    const QList<QPrinterInfo> infos = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo& info : infos) queues.append({info.printerName(), info.description().trimmed()});
    const QStringList names = deviceNamesFor(queues);
    QList<Device> list;
    for (qsizetype i = 0; i < queues.size(); ++i) list.append({names[i], queues[i].name});
    list.append({kPdfDeviceName, QString()});
    return list;
}

void LinuxPrinters::chooseDefault()
{
    if (current_) return;
    const QString defaultQueue = QPrinterInfo::defaultPrinterName();
    if (!defaultQueue.isEmpty())
        for (const Device& d : devices())
            if (d.queue == defaultQueue) {
                current_ = d;
                return;
            }
    current_ = Device{kPdfDeviceName, QString()};
}

QStringList LinuxPrinters::deviceNames()
{
    QStringList names;
    for (const Device& d : devices()) names << d.deviceName;
    return names;
}

QString LinuxPrinters::currentDeviceName()
{
    chooseDefault();
    return current_->deviceName;
}

bool LinuxPrinters::setCurrentPrinter(const QString& deviceName)
{
    for (const Device& d : devices())
        if (d.deviceName == deviceName) {
            current_ = d;
            return true;
        }
    return false;
}

QPageSize LinuxPrinters::pdfPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

QMarginsF LinuxPrinters::pdfMargins() { return {18, 18, 18, 18}; }

QString LinuxPrinters::suggestedPdfPath(const QString& fileName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir(folder).filePath(fileName);
}

std::unique_ptr<QPrinter> LinuxPrinters::openCurrent(const QString& documentName, const QString& fileName)
{
    chooseDefault();
    if (current_->queue.isEmpty()) {
        const QString path = outputFile_.isEmpty() ? choose_(suggestedPdfPath(fileName)) : outputFile_;
        if (path.isEmpty()) throw PrinterCancelled("no file was chosen for the PDF");
        auto printer = std::make_unique<PdfFilePrinter>(path);
        if (!printer->ready())
            throw PrinterError(("the PDF file cannot be written: " + printer->problem()).toStdString());
        // The margins of an ordinary printer, so a PDF printed at full size loses nothing at the paper's
        // edge: the page's origin lies where a CUPS queue puts it.
        printer->setPageLayout(
            QPageLayout(pdfPageSize(), QPageLayout::Portrait, pdfMargins(), QPageLayout::Point));
        printer->setFullPage(false);
        printer->setCreator(QStringLiteral("Quillon"));
        printer->setDocName(documentName);
        return printer;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(current_->queue);
    if (info.isNull()) throw PrinterError("the printer is no longer there");
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    printer->setFullPage(false);
    printer->setCopyCount(1); // copies are pages of the one job
    printer->setCreator(QStringLiteral("Quillon"));
    printer->setDocName(documentName);
    return printer;
}

std::optional<PaintedDocument> LinuxPrinters::openPaintedDocument()
{
    std::unique_ptr<QPrinter> printer = openCurrent(kFontBookDocument, kFontBookFileName);
    PaintedDocument document;
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        // Nothing was painted on this printer, so it never opened the file: the caller writes it.
        document.pdfFile = static_cast<PdfFilePrinter&>(*printer).target();
        document.pdfLayout = printer->pageLayout();
        return document;
    }
    document.device = std::move(printer);
    return document;
}

} // namespace quillon::platform
