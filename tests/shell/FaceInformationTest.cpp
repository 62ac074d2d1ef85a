// The face information window opened from the main window as a user opens it, offscreen.
#include "faceinfo/FaceInformation.h"
#include "base/FontModule.h"
#include "catalogue/CommandLineSelection.h"
#include "display/TextMeasurer.h"
#include "faceinfo/CharactersView.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/SamplePicture.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"
#include "support/SfntWriter.h"
#include "support/ViewerFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class FaceInformationTest : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        load();
    }

    FaceInformation* window() const { return viewer->findChild<FaceInformation*>("faceInformation"); }
};

} // namespace

TEST_F(FaceInformationTest, CtrlIOpensItFollowsTheSelectionAndEscapeClosesIt)
{
    select("DejaVu Sans");
    EXPECT_EQ(window(), nullptr); // nothing is built or read while it is closed
    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    FaceInformation* info = window();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(info->info().face, "DejaVu Sans");
    QTreeWidget* files = info->findChild<QTreeWidget*>("filesTable");
    ASSERT_NE(files, nullptr);
    EXPECT_GE(files->topLevelItemCount(), 1);
    EXPECT_GT(info->findChild<QTreeWidget*>("namesTable")->topLevelItemCount(), 3);

    select("WenQuanYi Micro Hei");
    EXPECT_EQ(info->info().face, "WenQuanYi Micro Hei");
    EXPECT_TRUE(info->findChild<QTreeWidget*>("filesTable")->topLevelItem(0)->text(2).contains("collection"));

    // The sample text's characters the face lacks are named in the Coverage tab.
    viewer->displayText->setFocus();
    QTest::keyClick(viewer->displayText, Qt::Key_A); // typed: the sample keeps its text from now on
    viewer->displayText->setPlainText(QStringLiteral("Ωμέγα 漢"));
    select("Cantarell");
    info->info();
    EXPECT_TRUE(info->findChild<QTextBrowser*>("coverageText")->toPlainText().contains("漢 U+6F22"));
    // The sample picture's tooltip names them too.
    ASSERT_TRUE(viewer->displayPicture->toolTipSource);
    EXPECT_TRUE(viewer->displayPicture->toolTipSource().contains("漢 U+6F22"));

    QPointer<FaceInformation> guard(info);
    QTest::keyClick(info->findChild<QTreeWidget*>("namesTable"), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(viewer->isVisible()); // Escape there does not reach the main window's Escape
}

TEST_F(FaceInformationTest, AFileNotInstalledOnTheCommandLineIsShownUntilAnotherFaceIsSelected)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Loose.TTF");
    ASSERT_TRUE(test::SfntWriter::writeFile(
        path, test::SfntWriter::minimalFont(test::SfntWriter::names("Loose Test", "Regular", "Loose Test"))));
    buildViewer();
    QString message;
    viewer->showMessage = [&](const QString& text, const QString&) { message = text; };
    module.commandLineFile = path;
    load(path.toLower());
    EXPECT_EQ(message, kNotRegisteredMessage);
    const QString first = viewer->fontList->text(); // the main window keeps to its own rule

    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    FaceInformation* info = window();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->info().face, "Loose Test");
    QTreeWidget* files = info->findChild<QTreeWidget*>("filesTable");
    ASSERT_EQ(files->topLevelItemCount(), 1); // nothing draws the file, so no substitute is named for it
    EXPECT_EQ(files->topLevelItem(0)->text(0), "not installed");
    EXPECT_EQ(viewer->fontList->text(), first);
    EXPECT_EQ(machine->platform().fontSystem.resolveFace("Loose Test")->substitute, true); // not added

    select("DejaVu Sans");
    EXPECT_EQ(info->info().face, "DejaVu Sans");
    select(first);
    EXPECT_EQ(info->info().face, first);
}

TEST_F(FaceInformationTest, EscapeWithAModifierClosesItAndEndsTheProgram)
{
    for (Qt::KeyboardModifier held : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        buildViewer();
        load();
        QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
        QPointer<FaceInformation> info(window());
        ASSERT_FALSE(info.isNull());
        QTest::keyClick(info->findChild<QTreeWidget*>("filesTable"), Qt::Key_Escape, held);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(info.isNull()) << held;
        EXPECT_TRUE(viewer->ended()) << held;
    }
}

TEST_F(FaceInformationTest, CharactersShowsTheFacesCharactersAndAsksForFacesWithOne)
{
    select("DejaVu Sans");
    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    FaceInformation* info = window();
    ASSERT_NE(info, nullptr);
    QStringList asked;
    info->setFindFaces([&](const QString& text) { asked << text; });
    faceinfo::CharactersView* characters = info->charactersView;
    info->info();
    EXPECT_EQ(characters->model()->rowCount(), 0); // the file is not opened while the tab is hidden
    info->tabs->setCurrentWidget(characters);
    ASSERT_GT(characters->model()->rowCount(), 100);
    EXPECT_EQ(characters->model()->index(0, 0).data().toString(), "Basic Latin (95)");

    characters->searchField->setText("u+20ac");
    EXPECT_TRUE(QTest::qWaitFor([&] { return characters->shownCharacter() == U'€'; }));
    EXPECT_TRUE(characters->details->text().contains("EURO SIGN"))
        << characters->details->text().toStdString();
    EXPECT_TRUE(characters->details->text().contains("Currency Symbols"));
    EXPECT_TRUE(characters->details->text().contains("(Euro)")); // DejaVu Sans names the glyph
    const QImage* glyph = characters->picture(U'€');
    ASSERT_NE(glyph, nullptr);
    EXPECT_FALSE(glyph->isNull());

    QTest::keyClick(characters->copyCodeButton, Qt::Key_Space);
    EXPECT_EQ(QApplication::clipboard()->text(), "U+20AC");
    QTest::keyClick(characters->grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "€");
    QTest::keyClick(characters->findFacesButton, Qt::Key_Space);
    EXPECT_EQ(asked, QStringList{"€"});

    // Another face: its own characters, and the search stays.
    select("WenQuanYi Micro Hei");
    info->info();
    EXPECT_TRUE(QTest::qWaitFor([&] { return characters->shownCharacter() == U'€'; }));
    characters->searchField->setText("cjk unified ideograph-4e00");
    EXPECT_TRUE(QTest::qWaitFor([&] { return characters->shownCharacter() == char32_t(0x4E00); }));
}
