// The Linux printers: device names from CUPS queues, the PDF destination that is always there, and the
// QPainter page into a real PDF: copies as pages of one file, no blank last page, a cancelled file choice.
#include "platform/linux/printing/LinuxPrinters.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "printing/SamplePage.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;

namespace {

// The machine's own print server must not leak into these tests: point CUPS at a socket that is not there.
const bool kNoPrintServer = qputenv("CUPS_SERVER", "/nonexistent/quillon-test/cups.sock");

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString data = QString::fromLatin1(file.readAll());
    return int(data.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

TEST(LinuxPrinters, QueuesAreListedByDescriptionUnlessThatIsAmbiguous)
{
    using Q = LinuxPrinters::Queue;
    EXPECT_EQ(LinuxPrinters::deviceNamesFor({{"Rendering_Subsystem", "Rendering Subsystem"},
                                             {"laser", ""},
                                             {"a", "Office"},
                                             {"b", "Office"},
                                             {"pdf", LinuxPrinters::kPdfDeviceName},
                                             {"c", "laser"},
                                             {"d", "Hall"}}),
              QStringList({"Rendering Subsystem", "laser", "a", "b", "pdf", "c", "Hall"}));
    EXPECT_TRUE(LinuxPrinters::deviceNamesFor(QList<Q>()).isEmpty());
}

TEST(LinuxPrinters, ThePdfDestinationIsAlwaysThereAndIsCurrentWithoutADefaultPrinter)
{
    ASSERT_TRUE(kNoPrintServer);
    LinuxPrinters printers([](const QString&) { return QString(); });
    EXPECT_EQ(printers.deviceNames(), QStringList({LinuxPrinters::kPdfDeviceName}));
    EXPECT_EQ(printers.currentDeviceName(), LinuxPrinters::kPdfDeviceName);
    EXPECT_FALSE(printers.setCurrentPrinter("no such printer"));
    EXPECT_TRUE(printers.setCurrentPrinter(LinuxPrinters::kPdfDeviceName));
    EXPECT_TRUE(LinuxPrinters::suggestedPdfPath().endsWith(".pdf"));
}

TEST(LinuxPrinters, CopiesBecomePagesOfOnePdfAndTheLastBreakAddsNoPage)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("three.pdf");
    QString suggested;
    LinuxPrinters printers([&](const QString& s) {
        suggested = s;
        return out;
    });
    SamplePage page(printers.printer());
    EXPECT_EQ(PrintSampleCopies(printers.printer(), page, 3, "DejaVu Sans", "a\r\nb"), 0);
    EXPECT_TRUE(suggested.endsWith("Sample page.pdf"));
    EXPECT_EQ(pdfPages(out), 3);

    // A set output file is used without asking; a document with nothing drawn writes nothing.
    const QString fixed = dir.filePath("one.pdf");
    printers.setOutputFile(fixed);
    suggested.clear();
    EXPECT_EQ(PrintSampleCopies(printers.printer(), page, 1, "DejaVu Sans", QString()), 0);
    EXPECT_TRUE(suggested.isEmpty());
    EXPECT_EQ(pdfPages(fixed), 1);
    printers.setOutputFile(dir.filePath("none.pdf"));
    EXPECT_NO_THROW(printers.printer().endDoc());
    EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")));

    // A font book: the choice suggests a book's name, and the file is left to the book's writer.
    printers.setOutputFile(QString());
    const auto book = printers.openPaintedDocument();
    EXPECT_TRUE(suggested.endsWith("/Font book.pdf"));
    ASSERT_TRUE(book && !book->device);
    EXPECT_EQ(book->pdfFile, out);
    EXPECT_EQ(book->pdfLayout.pageSize(), LinuxPrinters::pdfPageSize());
    EXPECT_EQ(pdfPages(out), 3); // not written over
}

TEST(LinuxPrinters, ACancelledFileChoiceFailsEachCopyOnceAndLeavesNoDocumentOpen)
{
    int asked = 0;
    LinuxPrinters printers([&](const QString&) {
        ++asked;
        return QString();
    });
    SamplePage page(printers.printer());
    // Asked once for the document, not once per operation; each copy and the end report their failure.
    EXPECT_EQ(PrintSampleCopies(printers.printer(), page, 2, "DejaVu Sans", QString()), 3);
    EXPECT_EQ(asked, 1);

    // The next document asks again, and an unwritable file fails the same way.
    QTemporaryDir dir;
    printers.setOutputFile(dir.filePath("missing/folder/x.pdf"));
    EXPECT_EQ(PrintSampleCopies(printers.printer(), page, 1, "DejaVu Sans", QString()), 2);
    printers.setOutputFile(QString());
    EXPECT_GT(PrintSampleCopies(printers.printer(), page, 1, "DejaVu Sans", QString()), 0);
    EXPECT_EQ(asked, 2);
}

TEST(LinuxPrinters, OnAFullDiskTheEarlierPdfStaysAndThePrintSaysWhy)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("disk");
    QDir().mkpath(folder);
    test::FullDisk disk(folder, 1024 * 1024);
    const QString out = folder + "/sample.pdf";
    LinuxPrinters printers([](const QString&) { return QString(); });
    printers.setOutputFile(out);
    SamplePage page(printers.printer());
    ASSERT_EQ(PrintSampleCopies(printers.printer(), page, 1, "DejaVu Sans", QString()), 0);
    const QByteArray earlier = test::contents(out);
    ASSERT_EQ(pdfPages(out), 1);

    disk.fill();
    QString problem;
    EXPECT_GT(PrintSampleCopies(printers.printer(), page, 2, "DejaVu Sans", QString(), &problem), 0);
    EXPECT_TRUE(problem.contains(out)) << problem.toStdString();
    if (disk.isTmpfs()) {
        EXPECT_TRUE(problem.contains("the disk is full")) << problem.toStdString();
    }
    disk.release();
    EXPECT_EQ(test::contents(out), earlier);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"sample.pdf"});
}

TEST(LinuxPrinters, AFaceNamedByItsFullNamePrintsInThatFace)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("full.pdf");
    LinuxFontSystem fonts;
    LinuxPrinters printers([](const QString&) { return QString(); }, &fonts);
    printers.setOutputFile(out);
    PrinterPage& page = printers.printer();
    // Qt's matcher alone knows no face by this name: the page would come out in its default face.
    page.setFontName("Cantarell Regular");
    page.setFontSize(12);
    page.setPosition(0, 0);
    page.print("Hamburgefonstiv");
    page.endDoc();
    QFile pdf(out);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().contains("/BaseFont /Cantarell")) << "the page names no Cantarell font";
}
