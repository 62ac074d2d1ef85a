// The printer setup dialog, driven offscreen through its real controls: the printer list, the copies field
// and spin control in step, OK printing one job, Cancel and the Escape keys.
#include "printing/PrinterSetup.h"
#include "controls/Tallyfield.h"
#include "printing/RecordingPage.h"
#include "printing/UpDown.h"
#include "summary/FontBookJob.h"
#include "support/FakeFontSystem.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class FakePrinters final : public platform::Printers {
public:
    QStringList names;
    QString current;
    RecordingPage page;
    int switches = 0;

    QStringList deviceNames() override { return names; }
    QString currentDeviceName() override { return current; }
    bool setCurrentPrinter(const QString& name) override
    {
        if (!names.contains(name)) return false;
        current = name;
        ++switches;
        return true;
    }
    platform::PrinterPage& printer() override { return page; }
    void setOutputFile(const QString&) override {}
    QString pdf;        // where painted documents go; none when empty
    bool paper = false; // a printer's device (writing to pdf) rather than the PDF destination
    std::optional<platform::PaintedDocument> openPaintedDocument() override
    {
        if (pdf.isEmpty()) return std::nullopt;
        if (paper) return platform::PaintedDocument{std::make_unique<QPdfWriter>(pdf), QString(), {}};
        return platform::PaintedDocument{
            nullptr, pdf,
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18))};
    }
};

struct PrinterSetupTest : ::testing::Test {
    FakePrinters printers;
    int faceReads = 0;
    int endings = 0;
    int beeps = 0;

    PrinterSetupTest()
    {
        printers.names = {"laser", "Rendering Subsystem", "Inkjet", "Rendering Subsystem 2", "archive"};
        printers.current = "Inkjet";
    }

    std::unique_ptr<PrinterSetup> open(QRect ownerFrame = QRect(100, 50, 417, 421))
    {
        PrinterSetup::Owner owner;
        owner.frame = ownerFrame;
        owner.face = [this] {
            ++faceReads;
            return QStringLiteral("DejaVu Sans");
        };
        owner.details = [] { return QStringLiteral("Is a TrueType font\r\nInstalled: True\r\n"); };
        owner.endProgram = [this] { ++endings; };
        auto dialog = std::make_unique<PrinterSetup>(printers, owner);
        dialog->Tallyfield1->setBeep([this] { ++beeps; });
        return dialog;
    }

    // Shows the dialog and waits until it is the active window, so keys go where the user's would.
    static void show(PrinterSetup& dialog)
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    static QLineEdit* field(PrinterSetup& dialog) { return dialog.Tallyfield1->findChild<QLineEdit*>(); }
    static double copies(PrinterSetup& dialog) { return dialog.Tallyfield1->Value().toDouble(); }
    static void key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(qtKey), mods);
    }
};

} // namespace

TEST_F(PrinterSetupTest, LoadListsThePrintersSortedWithoutTheReservedOneAndPreselectsTheCurrent)
{
    auto dialog = open();
    QStringList listed;
    for (int i = 0; i < dialog->Combo1->count(); ++i) listed << dialog->Combo1->itemText(i);
    EXPECT_EQ(listed, QStringList({"archive", "Inkjet", "laser", "Rendering Subsystem 2"}));
    EXPECT_EQ(dialog->Combo1->currentText(), "Inkjet");
    EXPECT_EQ(copies(*dialog), 1);
    EXPECT_EQ(dialog->UpDown1->Value(), 1);
    EXPECT_EQ(dialog->windowTitle(), " Printer Setup");
    EXPECT_EQ(dialog->okButton->toolTip(), " Click here to print the selected font  ");

    // Centred across the owner, 300 twips below its middle: (6255 - 3855) / 2 and (6315 - 1950) / 2 + 300.
    EXPECT_EQ(PrinterSetup::placement(QRect(1500, 750, 6255, 6315), QSize(3855, 1950)), QPoint(2700, 3232));
    EXPECT_EQ(dialog->pos(), QPoint((417 - 257) / 2 + 100, 50 + (421 - 130) / 2 + 20));

    // A current printer that is not listed leaves the last item selected; no printers, nothing selected.
    printers.current = "Rendering Subsystem";
    EXPECT_EQ(open()->Combo1->currentText(), "Rendering Subsystem 2");
    printers.names.clear();
    auto empty = open();
    EXPECT_EQ(empty->Combo1->count(), 0);
    EXPECT_EQ(empty->Combo1->currentIndex(), -1);
}

TEST_F(PrinterSetupTest, CopiesAboveNinetyNineBecomeNinetyNineAtOnceWithTheTextSelected)
{
    auto dialog = open();
    show(*dialog);
    QLineEdit* text = field(*dialog);
    ASSERT_EQ(QApplication::focusWidget(), text); // the copies field has the focus on opening

    // Pasting 150 puts it in the field; the change handling caps it.
    QApplication::clipboard()->setText("150");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(copies(*dialog), 99);
    EXPECT_EQ(text->text(), "99");
    EXPECT_EQ(text->selectedText(), "99");
    EXPECT_EQ(dialog->UpDown1->Value(), 99);

    // Typed, the field holds two digits: the third is refused with a beep, and 15 stays in step.
    text->selectAll();
    QTest::keyClicks(text, "150");
    EXPECT_EQ(text->text(), "15");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(dialog->UpDown1->Value(), 15);

    // 0 is not corrected by the field; the spin control keeps its last value.
    text->selectAll();
    QTest::keyClicks(text, "0");
    EXPECT_EQ(copies(*dialog), 0);
    EXPECT_EQ(dialog->UpDown1->Value(), 15);
}

TEST_F(PrinterSetupTest, ArrowKeysAndTheSpinControlStepWithinOneToNinetyNine)
{
    auto dialog = open();
    show(*dialog);
    QLineEdit* text = field(*dialog);

    key(Qt::Key_Down); // at 1
    EXPECT_EQ(copies(*dialog), 1);
    dialog->Tallyfield1->setValue(5);
    key(Qt::Key_Down);
    EXPECT_EQ(copies(*dialog), 4);
    EXPECT_EQ(text->selectedText(), "4");
    EXPECT_EQ(dialog->UpDown1->Value(), 4);
    key(Qt::Key_Up);
    EXPECT_EQ(copies(*dialog), 5);
    dialog->Tallyfield1->setValue(99);
    key(Qt::Key_Up);
    EXPECT_EQ(copies(*dialog), 99);

    // The spin arrows step the field and give it the focus with its text selected.
    dialog->okButton->setFocus();
    dialog->UpDown1->clickUp();
    EXPECT_EQ(copies(*dialog), 99);
    EXPECT_EQ(dialog->UpDown1->Value(), 99);
    dialog->UpDown1->clickDown();
    dialog->UpDown1->clickDown();
    EXPECT_EQ(copies(*dialog), 97);
    EXPECT_EQ(QApplication::focusWidget(), text);
    EXPECT_EQ(text->selectedText(), "97");
    dialog->Tallyfield1->setValue(1);
    dialog->UpDown1->clickDown();
    EXPECT_EQ(copies(*dialog), 1);
}

TEST_F(PrinterSetupTest, OkMakesTheChosenPrinterCurrentAndPrintsAllCopiesAsOneJob)
{
    auto dialog = open();
    dialog->Combo1->setCurrentText("laser");
    dialog->Tallyfield1->setValue(3);
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);

    EXPECT_EQ(printers.current, "laser");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(printers.page.jobs().size(), 1u);
    const RecordingPage::Document& job = printers.page.jobs().front();
    EXPECT_EQ(job.pages, 3);
    for (int p = 1; p < 3; ++p) {
        const auto a = RecordingPage::textsOn(job, 0);
        const auto b = RecordingPage::textsOn(job, p);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i].text == b[i].text && a[i].y == b[i].y);
    }
    EXPECT_EQ(RecordingPage::textsOn(job, 0)[2].text, "Is a TrueType font");
    EXPECT_EQ(faceReads, 3); // the face is read afresh for every page
    EXPECT_EQ(dialog->printY(), 9740 + 2 * 255);
}

TEST_F(PrinterSetupTest, ZeroOrAnEmptyFieldPrintsOneCopy)
{
    for (const QString& typed : {QStringLiteral("0"), QString()}) {
        SCOPED_TRACE(typed.toStdString());
        printers.page = RecordingPage();
        auto dialog = open();
        show(*dialog);
        field(*dialog)->selectAll();
        if (typed.isEmpty())
            key(Qt::Key_Backspace);
        else
            QTest::keyClicks(field(*dialog), typed);
        key(Qt::Key_Return); // Enter presses the default button, OK
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(dialog->isVisible());
        ASSERT_EQ(printers.page.jobs().size(), 1u);
        EXPECT_EQ(printers.page.jobs().front().pages, 1);
        EXPECT_EQ(copies(*dialog), 1);
    }
}

TEST_F(PrinterSetupTest, FailuresAndNoPrintersStillEndTheDocumentAndClose)
{
    printers.names.clear();
    printers.current = "elsewhere";
    auto dialog = open();
    dialog->Tallyfield1->setValue(2);
    printers.page.failOnce(1); // the first copy fails at its first step
    dialog->okButton_Click();
    EXPECT_EQ(printers.switches, 0);
    EXPECT_EQ(printers.current, "elsewhere");
    ASSERT_EQ(printers.page.jobs().size(), 1u);
    EXPECT_EQ(printers.page.jobs().front().pages, 1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(PrinterSetupTest, ABookPrintsItsCopiesAsOneDocumentWithAnOutlineInsteadOfTheSamplePage)
{
    QTemporaryDir dir;
    printers.pdf = dir.filePath("book.pdf");
    test::FakeFontSystem fonts;
    QStringList faces;
    for (int i = 0; i < 20; ++i) faces << QStringLiteral("DejaVu Sans");
    QString problem = "not printed";
    PrinterSetup::Owner owner;
    owner.print = [&](int copies) {
        // Parts of three pages: one ends inside the second copy.
        problem = FontBookJob::print(printers, fonts, faces, "DejaVu Sans", copies, {}, 3);
    };
    PrinterSetup dialog(printers, owner);
    dialog.Tallyfield1->setValue(2);
    dialog.okButton_Click();
    EXPECT_EQ(problem, QString());
    EXPECT_TRUE(printers.page.jobs().empty()); // no sample page
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const auto read = [&](const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    EXPECT_TRUE(read("pdfinfo", {printers.pdf}).contains(QRegularExpression("Pages:\\s+4\\n")));
    EXPECT_EQ(read("pdftotext", {printers.pdf, "-"}).count(QRegularExpression("Page (\\d) of 2")), 4);
    EXPECT_TRUE(read("pdftotext", {printers.pdf, "-"})
                    .contains(QRegularExpression("Page 1 of 2.*Page 2 of 2.*Page 1 of 2.*Page 2 of 2",
                                                 QRegularExpression::DotMatchesEverythingOption)));
    EXPECT_TRUE(
        read("pdftohtml", {"-xml", "-stdout", "-i", printers.pdf}).contains("<item page=\"1\">D</item>"));
    // The parts were written beside the book and are gone.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"book.pdf"});

    // A printer gets the copies as one document on its own device, without an outline.
    printers.paper = true;
    printers.pdf = dir.filePath("paper.pdf");
    EXPECT_EQ(FontBookJob::print(printers, fonts, faces, "DejaVu Sans", 2), QString());
    EXPECT_TRUE(read("pdfinfo", {printers.pdf}).contains(QRegularExpression("Pages:\\s+4\\n")));
    EXPECT_FALSE(read("pdftohtml", {"-xml", "-stdout", "-i", printers.pdf}).contains("<outline>"));

    printers.pdf.clear(); // a printer that cannot be painted on says so
    EXPECT_FALSE(FontBookJob::print(printers, fonts, faces, "DejaVu Sans", 1).isEmpty());
}

TEST_F(PrinterSetupTest, ABookThatFailsOrIsCancelledLeavesTheEarlierFileAndNoPartsAndClearsOldParts)
{
    QTemporaryDir outer;
    const QString dir = outer.filePath("disk");
    QDir().mkpath(dir);
    test::FullDisk disk(dir, 2 * 1024 * 1024);
    printers.pdf = dir + "/book.pdf";
    test::writeFile(printers.pdf, "%PDF-1.4 the earlier book");
    // Parts a killed run left (its process is gone), one of a run still going (this process) and a folder
    // the program did not make.
    for (const char* name : {".quillon-book-Ab12Cd", ".quillon-book-Live01", ".quillon-book-mine"})
        QDir().mkpath(dir + "/" + name);
    test::writeFile(dir + "/.quillon-book-Ab12Cd/owner", "999999999");
    test::writeFile(dir + "/.quillon-book-Ab12Cd/part-1.pdf", "%PDF");
    test::writeFile(dir + "/.quillon-book-Live01/owner",
                    QByteArray::number(QCoreApplication::applicationPid()));
    test::FakeFontSystem fonts;
    const QStringList faces(40, QStringLiteral("DejaVu Sans"));
    const auto listing = [&] {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList kept{".quillon-book-Live01", ".quillon-book-mine", "book.pdf"};

    int asked = 0;
    EXPECT_EQ(
        FontBookJob::print(printers, fonts, faces, "DejaVu Sans", 1, {}, 1, [&] { return ++asked > 2; }),
        FontBookPdf::kCancelled);
    EXPECT_EQ(test::contents(printers.pdf), "%PDF-1.4 the earlier book");
    EXPECT_EQ(listing(), kept);

    disk.fill();
    const QString problem = FontBookJob::print(printers, fonts, faces, "DejaVu Sans", 1, {}, 1);
    disk.release();
    EXPECT_FALSE(problem.isEmpty());
    if (disk.isTmpfs()) {
        EXPECT_TRUE(problem.contains("the disk is full")) << problem.toStdString();
    }
    EXPECT_EQ(test::contents(printers.pdf), "%PDF-1.4 the earlier book");
    EXPECT_EQ(listing(), kept);
}

TEST_F(PrinterSetupTest, CancelAndEscapeCloseWithoutPrintingAndEscapeWithAModifierEndsTheProgram)
{
    auto dialog = open();
    show(*dialog);
    QTest::mouseClick(dialog->exitButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    dialog = open();
    show(*dialog);
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(endings, 0);

    const Qt::KeyboardModifiers held[] = {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
    for (Qt::KeyboardModifiers mods : held) {
        dialog = open();
        show(*dialog);
        dialog->Combo1->setFocus(); // any control: the dialog sees the key first
        key(Qt::Key_Escape, mods);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(endings, 3);
    EXPECT_TRUE(printers.page.jobs().empty());
    EXPECT_EQ(printers.page.operations(), 0);
}
