// "Print All Faces…" from the summary as a user runs it: the printer dialog, then the pages after it has
// gone, with a progress box that can cancel them while the windows stay usable; a book given up at its file
// name ends quietly.
#include "shell/Viewer.h"
#include "summary/Summary.h"
#include "support/ViewerFixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class BookPrintingTest : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        load();
        // The main window's activation closes the summary: it must have come before the summary opens.
        ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.get()));
        viewer->summaryButton_Click();
        summary = viewer->findChild<Summary*>("Summary");
    }

    /// The visible top-level window of that object name or class, if any.
    static QWidget* shown(const char* name)
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() &&
                (window->objectName() == QLatin1String(name) || window->inherits(name)))
                return window;
        return nullptr;
    }

    /// Chooses "Print All Faces…" and OK in the printer dialog; `thenFile`, when given, runs on the PDF file
    /// dialog. A timer plays the user, as the dialogs run loops of their own. Returns once the book is done.
    void printAllFaces(std::function<void(QFileDialog&)> thenFile = {})
    {
        int step = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (step == 0) {
                if (auto* dialog = qobject_cast<QDialog*>(shown("PrinterSetup"))) {
                    step = thenFile ? 1 : 2;
                    dialog->findChild<QPushButton*>("okButton")->click();
                }
            } else if (step == 1) {
                if (auto* files = qobject_cast<QFileDialog*>(shown("QFileDialog"))) {
                    step = 2;
                    thenFile(*files);
                }
            }
        });
        user.start(10);
        const QPointer<QMenu> menu(summary->makeContextMenu()); // the summary's: it may close meanwhile
        menu->findChild<QAction*>("printAllFacesAction")->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return step == 2 && !shown("PrinterSetup") && !shown("QFileDialog") && !progress();
        })) << "the dialogs came at step "
            << step;
        delete menu.data();
    }
    QProgressDialog* progress() const { return viewer->findChild<QProgressDialog*>("bookProgress"); }

    Summary* summary = nullptr;
};

} // namespace

TEST_F(BookPrintingTest, ABookGivenUpAtItsFileNameEndsQuietly)
{
    ASSERT_NE(summary, nullptr);
    printAllFaces([](QFileDialog& files) { files.reject(); });
    EXPECT_FALSE(viewer->ended());
    EXPECT_EQ(shown("QMessageBox"), nullptr);
}

TEST_F(BookPrintingTest, ThePagesComeOutAfterTheDialogWithACancelThatLeavesNoFile)
{
    ASSERT_NE(summary, nullptr);
    QTemporaryDir dir;
    const QString path = dir.filePath("book.pdf");
    bool dialogGoneWhilePrinting = false;
    bool cancelled = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QProgressDialog* box = progress(); box && !cancelled) {
            dialogGoneWhilePrinting = !shown("quillon::PrinterSetup") && !box->isModal();
            box->cancel();
            cancelled = true;
        }
    });
    watch.start(1);
    machine->platform().printers.setOutputFile(path);
    printAllFaces();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(dialogGoneWhilePrinting);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}
