// The main window driven as a user drives it, offscreen, on the tests' own fonts.
#include "shell/Viewer.h"
#include "base/FontModule.h"
#include "display/SizeList.h"
#include "display/TextMeasurer.h"
#include "options/Options.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/SamplePicture.h"
#include "shell/SimpleCombo.h"
#include "support/QtPrint.h"
#include "support/ViewerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class ViewerTest : public test::ViewerFixture {
protected:
    QStringList messages;

    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        viewer->showMessage = [this](const QString& text, const QString& title) {
            messages << title + ": " + text;
        };
    }

    int faceIndex(const QString& face) const
    {
        for (int i = 0; i < viewer->fontList->count(); ++i)
            if (viewer->fontList->itemText(i) == face) return i;
        return -1;
    }

    QString fontsDir() const { return qEnvironmentVariable("QUILLON_TEST_FONTS"); }
};

TEST_F(ViewerTest, ControlsStandWhereTheLayoutPutsThem)
{
    EXPECT_EQ(viewer->windowTitle(), " Quillon");
    EXPECT_FALSE(viewer->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(viewer->size(), QSize(417, 396)); // 6255 x 5940 twips
    EXPECT_EQ(viewer->fontList->geometry(), QRect(64, 16, 169, 116));
    EXPECT_EQ(viewer->exitButton->geometry(), QRect(344, 106, 57, 25));
    EXPECT_EQ(viewer->effect[3]->geometry(), QRect(12, 71, 65, 17)); // inside Frame1
    EXPECT_EQ(viewer->displayPicture->geometry(), QRect(64, 294, 337, 85));
    EXPECT_EQ(viewer->HelpButton->geometry(), QRect(1, 378, 17, 17));
    EXPECT_EQ(viewer->exitButton->text(), "E&xit");
    EXPECT_EQ(viewer->effect[2]->text(), "Strikethru");
    EXPECT_EQ(viewer->printButton->toolTip(), " Print a sample page for the currently selected font ");
    EXPECT_EQ(viewer->displayText->toolTip(),
              " Enter the text you would like to see displayed for the current font ");
    EXPECT_EQ(viewer->Label1->font().family(), QApplication::font().family());
    EXPECT_LE(viewer->Label1->font().pointSizeF(), 9.75); // smaller only where the face needs it
    EXPECT_FALSE(viewer->TextSize->isVisibleTo(viewer.get()));
    EXPECT_FALSE(viewer->fontList->isVisibleTo(viewer.get())); // until loaded

    // the tab order runs lists, effects, text, buttons, details, help
    load();
    QApplication::setActiveWindow(viewer.get());
    QWidget* order[] = {viewer->fontList->editField(),
                        viewer->sizeList->editField(),
                        viewer->effect[0],
                        viewer->effect[1],
                        viewer->effect[2],
                        viewer->effect[3],
                        viewer->displayText,
                        viewer->summaryButton,
                        viewer->printButton,
                        viewer->optionsButton,
                        viewer->exitButton,
                        viewer->displayPicture,
                        viewer->detailText,
                        viewer->HelpButton};
    order[0]->setFocus();
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << i;
    }
}

TEST_F(ViewerTest, LoadingListsTheFacesAndShowsTheFirstAtItsFirstSize)
{
    load();
    EXPECT_TRUE(viewer->fontList->isVisible());
    ASSERT_GE(viewer->fontList->count(), 6);
    const QString first = viewer->fontList->itemText(0);
    EXPECT_LT(faceIndex("DejaVu Sans"), faceIndex("DejaVu Sans Mono"));
    EXPECT_EQ(viewer->fontList->text(), first);
    EXPECT_EQ(viewer->sizeList->count(), 16);
    EXPECT_EQ(viewer->sizeList->text(), "8");
    EXPECT_EQ(viewer->chosenSize, 8);
    EXPECT_EQ(viewer->displayText->toPlainText(), first + " 8-point font");
    EXPECT_FALSE(viewer->displayPicture->picture().isNull());
    EXPECT_EQ(viewer->displayPicture->drawingFont().family(), first);
    EXPECT_EQ(viewer->displayPicture->drawingFont().pointSize(), 8);
}

TEST_F(ViewerTest, SeventyTwoPointsGrowsTheWindowAndTheRememberedSizeFollowsFaces)
{
    load();
    viewer->sizeList->setListIndex(viewer->sizeList->count() - 1);
    EXPECT_EQ(viewer->sizeList->text(), "72");
    EXPECT_EQ(viewer->windowHeightTwips(), kWindowHeight72);
    EXPECT_EQ(viewer->displayPicture->height(), 125);
    EXPECT_EQ(viewer->height(), 436);

    viewer->fontList->setListIndex(faceIndex("Liberation Mono"));
    EXPECT_EQ(viewer->sizeList->text(), "72");
    EXPECT_EQ(viewer->displayText->toPlainText(), "Liberation Mono 72-point font");

    // a raster face listing smaller sizes: the largest below 72, normal height, and 72 stays remembered
    catalogue.records.push_back({"dejavu serif", "raster.fon", false, false, "8,10,12,14,18,24"});
    catalogue.records.insert(catalogue.records.begin(), catalogue.records.back());
    viewer->fontList->setListIndex(faceIndex("DejaVu Serif"));
    EXPECT_EQ(viewer->sizeList->count(), 6);
    EXPECT_EQ(viewer->sizeList->text(), "24");
    EXPECT_EQ(viewer->windowHeightTwips(), kWindowHeight);
    EXPECT_EQ(viewer->displayPicture->height(), 85);
    EXPECT_EQ(viewer->chosenSize, 72);
    viewer->fontList->setListIndex(faceIndex("DejaVu Sans"));
    EXPECT_EQ(viewer->sizeList->text(), "72");

    // a size typed into the size field changes nothing until one is picked
    viewer->sizeList->setText("12");
    EXPECT_EQ(viewer->chosenSize, 72);
    viewer->sizeList->setListIndex(4);
    EXPECT_EQ(viewer->chosenSize, 12);
}

// A face that comes out at the same height at each odd size as at the even size before it.
class PairedHeights final : public TextMeasurer {
public:
    HeightAt heightsFor(const QFont&) override
    {
        return [](int size) { return (size / 2) * 100.0; };
    }
};

TEST_F(ViewerTest, SizesAreListedByHeightAndTheRememberedSizeFallsToItsSmallerNeighbour)
{
    PairedHeights paired;
    viewer = std::make_unique<Viewer>(machine->platform(), module, catalogue, paired);
    load();
    auto* sizes = viewer->findChild<SimpleCombo*>("sizeList");
    auto* faces = viewer->findChild<SimpleCombo*>("fontList");
    auto* text = viewer->findChild<QPlainTextEdit*>("displayText");
    ASSERT_TRUE(sizes && faces && text);
    // a size as tall as the one listed before it is left out
    QStringList listed;
    for (int i = 0; i < sizes->count(); ++i) listed << sizes->itemText(i);
    EXPECT_EQ(listed, (QStringList{"8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36",
                                   "48", "72"}));

    // 11 is remembered (typed, then picked); a raster face listing 8, 10 and 12 shows 10 and keeps 11
    sizes->addItem("11");
    sizes->setListIndex(sizes->count() - 1);
    ASSERT_EQ(viewer->chosenSize, 11);
    catalogue.records.insert(catalogue.records.begin(),
                             {"dejavu serif", "raster.fon", false, false, "8,10,12"});
    faces->setListIndex(faceIndex("DejaVu Serif"));
    EXPECT_EQ(sizes->text(), "10");
    EXPECT_EQ(text->toPlainText(), "DejaVu Serif 10-point font");
    EXPECT_EQ(viewer->chosenSize, 11);
}

TEST_F(ViewerTest, TypedTextStaysAndAnEmptyTextClearsTheSample)
{
    load();
    QApplication::setActiveWindow(viewer.get());
    viewer->displayText->setFocus();
    QCoreApplication::processEvents(); // the focus handler selects the whole text
    QTest::keyClicks(viewer->displayText, "Hello");
    EXPECT_TRUE(viewer->textTyped);
    viewer->fontList->setListIndex(faceIndex("Liberation Sans"));
    EXPECT_EQ(viewer->displayText->toPlainText(), "Hello");
    EXPECT_EQ(viewer->displayPicture->drawingFont().family(), "Liberation Sans");

    viewer->effect[0]->setChecked(true);
    EXPECT_TRUE(viewer->displayPicture->drawingFont().bold());
    QTest::keyClick(viewer->displayText, Qt::Key_Delete);
    EXPECT_EQ(viewer->displayText->toPlainText(), "Hello");
    viewer->displayText->selectAll();
    QTest::keyClick(viewer->displayText, Qt::Key_Delete);
    EXPECT_TRUE(viewer->displayPicture->picture().isNull());
}

TEST_F(ViewerTest, AFaceListedByItsFullNameIsMeasuredAndDrawnInThatFace)
{
    load();
    ASSERT_GE(faceIndex("Cantarell Regular"), 0);
    viewer->textTyped = true;
    viewer->displayText->setPlainText("Hamburgefonstiv");
    for (int i = 0; i < viewer->sizeList->count(); ++i)
        if (viewer->sizeList->itemText(i) == "24") viewer->sizeList->setListIndex(i);
    ASSERT_EQ(viewer->chosenSize, 24);
    viewer->fontList->setListIndex(faceIndex("Cantarell"));
    const QImage family = viewer->displayPicture->picture();
    viewer->fontList->setListIndex(faceIndex("DejaVu Sans"));
    const QImage other = viewer->displayPicture->picture();

    // Qt's matcher alone knows no face by this name and would draw its default face.
    viewer->fontList->setListIndex(faceIndex("Cantarell Regular"));
    EXPECT_EQ(QFontInfo(viewer->displayPicture->drawingFont()).family(), "Cantarell");
    EXPECT_EQ(viewer->sizeList->text(), "24");
    EXPECT_EQ(viewer->displayPicture->picture(), family);
    EXPECT_NE(viewer->displayPicture->picture(), other);

    // Bold on a family picks the family's own bold face.
    viewer->fontList->setListIndex(faceIndex("Liberation Sans"));
    viewer->effect[0]->setChecked(true);
    EXPECT_EQ(QFontInfo(viewer->displayPicture->drawingFont()).styleName(), "Bold");
}

TEST_F(ViewerTest, AChangeWithoutATypedKeyIsOverwrittenByTheDefaultText)
{
    load();
    viewer->displayText->setPlainText("pasted");
    EXPECT_FALSE(viewer->textTyped);
    const QString standing = viewer->fontList->itemText(0) + " 8-point font";
    EXPECT_EQ(viewer->displayText->toPlainText(), standing);

    // Delete types no character, as X11 sends it (with the character 127) or otherwise.
    QApplication::setActiveWindow(viewer.get());
    viewer->displayText->setFocus();
    QTextCursor cursor = viewer->displayText->textCursor();
    cursor.setPosition(0);
    viewer->displayText->setTextCursor(cursor);
    QTest::keyClick(viewer->displayText, Qt::Key_Delete);
    QKeyEvent x11Delete(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
    QApplication::sendEvent(viewer->displayText, &x11Delete);
    EXPECT_FALSE(viewer->textTyped);
    EXPECT_EQ(viewer->displayText->toPlainText(), standing);
    viewer->sizeList->setListIndex(1);
    EXPECT_EQ(viewer->displayText->toPlainText(), viewer->fontList->itemText(0) + " 9-point font");
}

TEST_F(ViewerTest, EachKeyOfTheWindowActsOnceWhicheverControlHasTheFocus)
{
    load();
    QApplication::setActiveWindow(viewer.get());
    int dialogs = 0;
    QTimer closer; // answers each printer dialog the key opens, as a user pressing Cancel
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window);
                dialog && dialog->objectName() == "PrinterSetup" && dialog->isVisible()) {
                ++dialogs;
                dialog->reject();
                // As on a desktop: for a moment after the dialog has gone, no window of the program is
                // active.
                QApplication::setActiveWindow(nullptr);
            }
    });
    closer.start();
    setting("CommandLine", "/elsewhere/special.ttf");
    QWidget* controls[] = {viewer->fontList->editField(),
                           viewer->sizeList->editField(),
                           viewer->effect[0],
                           viewer->effect[1],
                           viewer->effect[2],
                           viewer->effect[3],
                           viewer->displayText,
                           viewer->displayPicture,
                           viewer->printButton};
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        QApplication::setActiveWindow(viewer.get());
        control->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), control);
        dialogs = 0;
        QTest::keyClick(control, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(dialogs, 1);
        QTest::keyClick(control, Qt::Key_P);
        QTest::keyClick(control, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(dialogs, 1);

        messages.clear();
        QApplication::setActiveWindow(viewer.get());
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F16);
        EXPECT_EQ(messages.size(), 1);
    }
}

TEST_F(ViewerTest, FacesAndSizesAreChosenFromTheKeyboard)
{
    load();
    QApplication::setActiveWindow(viewer.get());
    QLineEdit* face = viewer->fontList->editField();
    face->setFocus();
    int clicks = 0;
    QObject::connect(viewer->fontList, &SimpleCombo::Click, [&] { ++clicks; });

    QTest::keyClick(face, Qt::Key_Up); // already on the first face: nothing changes
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(face, Qt::Key_Down);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(viewer->fontList->listIndex(), 1);
    EXPECT_EQ(face->text(), viewer->fontList->itemText(1));
    EXPECT_EQ(viewer->displayText->toPlainText(), viewer->fontList->itemText(1) + " 8-point font");
    QTest::keyClick(face, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(viewer->fontList->listIndex(), viewer->fontList->count() - 1);
    QTest::keyClick(face, Qt::Key_PageUp);
    const int page = viewer->fontList->count() - 1 - viewer->fontList->listIndex();
    EXPECT_GT(page, 1);
    QTest::keyClick(face, Qt::Key_PageDown);
    EXPECT_EQ(viewer->fontList->listIndex(), viewer->fontList->count() - 1);
    QTest::keyClick(face, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(viewer->fontList->listIndex(), 0);
    EXPECT_EQ(clicks, 5);
    QTest::keyClick(face, Qt::Key_End); // End alone stays in the field
    EXPECT_EQ(viewer->fontList->listIndex(), 0);

    // the size list the same way, and a pick by key is the user's pick
    QLineEdit* size = viewer->sizeList->editField();
    QTest::keyClick(face, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), size);
    QTest::keyClick(size, Qt::Key_Down);
    QTest::keyClick(size, Qt::Key_Down);
    EXPECT_EQ(viewer->sizeList->text(), "10");
    EXPECT_EQ(viewer->chosenSize, 10);
    EXPECT_EQ(viewer->displayText->toPlainText(), viewer->fontList->itemText(0) + " 10-point font");

    // a click in a list puts the focus in its field
    QListWidget* faces = viewer->fontList->listBox();
    const QRect second = faces->visualItemRect(faces->item(2));
    QTest::mouseClick(faces->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(QApplication::focusWidget(), face);
    EXPECT_EQ(viewer->fontList->listIndex(), 2);
}

TEST_F(ViewerTest, KeysReachTheWindowWhicheverControlHasTheFocus)
{
    load();
    // F16: the stored command line selects the file's face and style
    setting("CommandLine", (fontsDir() + "/LiberationMono-Bold.ttf").toLower());
    viewer->effect[1]->setChecked(true);
    viewer->sizeList->editField()->setFocus();
    QTest::keyClick(viewer->sizeList->editField(), Qt::Key_F16);
    EXPECT_EQ(viewer->fontList->text(), "Liberation Mono");
    EXPECT_TRUE(viewer->effect[0]->isChecked());
    EXPECT_FALSE(viewer->effect[1]->isChecked());
    EXPECT_TRUE(messages.isEmpty());

    // a file that is not installed: the first face and the message
    setting("CommandLine", "/p /elsewhere/special.ttf");
    QTest::keyClick(viewer->displayText, Qt::Key_F16);
    EXPECT_EQ(viewer->fontList->text(), viewer->fontList->itemText(0));
    EXPECT_EQ(messages, QStringList{"Quillon: The font selected is not registered"});
    EXPECT_TRUE(viewer->printPending);

    // Escape anywhere ends the program
    EXPECT_FALSE(viewer->ended());
    QTest::keyClick(viewer->effect[2], Qt::Key_Escape);
    EXPECT_TRUE(viewer->ended());
}

TEST_F(ViewerTest, ModifierEscapeInTheOptionsAsksOnceAndCancelKeepsTheProgramRunning)
{
    load();
    viewer->optionsButton_Click();
    QPointer<Options> options = viewer->findChild<Options*>();
    ASSERT_TRUE(options);
    int asked = 0;
    auto answer = QMessageBox::Cancel;
    options->setQuestion([&](QWidget*, const QString&, const QString&) {
        ++asked;
        return answer;
    });
    options->fOption[2]->click();

    QTest::keyClick(options->fOption[2], Qt::Key_Escape, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->isVisible());
    EXPECT_FALSE(viewer->ended());

    answer = QMessageBox::No;
    QTest::keyClick(options->fOption[2], Qt::Key_Escape, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 2); // once for this Escape, whatever closes the dialog again on the way out
    EXPECT_TRUE(viewer->ended());
}

TEST_F(ViewerTest, AHandOffRestoresTheWindowAndActsOnItsOwnCommandLineElseTheStoredOne)
{
    load();
    viewer->setWindowState(Qt::WindowMinimized);
    setting("CommandLine", (fontsDir() + "/DejaVuSerif-Bold.ttf").toLower());
    platform::HandOffRecord request;
    request.windowTitle = "Another";
    EXPECT_FALSE(viewer->receiveHandOff(request));
    request.windowTitle = " Quillon"; // an earlier build's request: no command line of its own
    EXPECT_TRUE(viewer->receiveHandOff(request));
    EXPECT_FALSE(viewer->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(viewer->fontList->text(), "DejaVu Serif");
    EXPECT_TRUE(viewer->effect[0]->isChecked());

    // A start's own command line wins over what another start has stored since.
    request.file = fontsDir() + "/LiberationSans-Italic.ttf";
    request.commandLine = request.file.toLower();
    EXPECT_TRUE(viewer->receiveHandOff(request));
    EXPECT_EQ(viewer->fontList->text(), "Liberation Sans");
    EXPECT_FALSE(viewer->effect[0]->isChecked());
    EXPECT_TRUE(viewer->effect[1]->isChecked());
}

TEST_F(ViewerTest, AFontFileOnTheCommandLineIsSelectedAtStartUp)
{
    load((fontsDir() + "/LiberationSans-BoldItalic.ttf").toLower());
    EXPECT_EQ(viewer->fontList->text(), "Liberation Sans");
    EXPECT_TRUE(viewer->effect[0]->isChecked());
    EXPECT_TRUE(viewer->effect[1]->isChecked());
    EXPECT_EQ(viewer->displayText->toPlainText(), "Liberation Sans 8-point font");
    EXPECT_FALSE(viewer->printPending);
}

} // namespace
