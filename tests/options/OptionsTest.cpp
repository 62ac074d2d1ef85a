// The options dialog, offscreen: its two states, the unsaved-changes question, saving, and the ways it
// closes. The question is answered by an injected callback, except where the real message box is checked.
#include "OptionsTestSupport.h"

#include "base/FontModule.h"
#include "options/Options.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;
using quillon::testing::MemorySettings;
using quillon::testing::RecordingRegistry;

namespace {

struct Asked {
    QString text;
    QString title;
};

struct OptionsTest : ::testing::Test {
    RecordingRegistry registry;
    RegistryModule routines{registry};
    MemorySettings settings;
    FontModule module;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    std::vector<Asked> asked;
    int endCalls = 0;
    QPointer<Options> dialog;

    OptionsTest()
    {
        module.fontExtensions = {"fon", "otf", "pfm", "ttc", "ttf", ""};
        module.viewCommand = "/usr/bin/quillon %1";
        module.printCommand = "/usr/bin/quillon /p %1";
    }
    ~OptionsTest() override { delete dialog.data(); }

    void open(QWidget* parent = nullptr, QRect owner = QRect(100, 200, 600, 400))
    {
        dialog = new Options(
            owner, settings, routines, module, [this] { ++endCalls; }, parent);
        dialog->setQuestion([this](QWidget*, const QString& text, const QString& title) {
            asked.push_back({text, title});
            return answer;
        });
        dialog->show();
    }
    // A closed dialog is hidden at once and deletes itself when the events posted so far are handled.
    bool closed()
    {
        if (dialog && dialog->isVisible()) return false;
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }
};

TEST_F(OptionsTest, WithNoStoredSettingsOnlyTheSplashIsCheckedAndEnterCloses)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), " Quillon Options");
    EXPECT_FALSE(dialog->fOption[0]->isChecked());
    EXPECT_FALSE(dialog->fOption[1]->isChecked());
    EXPECT_TRUE(dialog->fOption[2]->isChecked());
    EXPECT_FALSE(dialog->saveButton->isEnabled());
    EXPECT_TRUE(dialog->cancelButton->isDefault());
    EXPECT_EQ(dialog->cancelButton->text(), "&Close");
    EXPECT_EQ(dialog->size(), QSize(265, 145));
    // Centred over the owner (outer sizes), 150 twips lower and 15 twips further right.
    EXPECT_EQ(dialog->pos(), QPoint(265, 325));

    QTest::keyClick(dialog->fOption[0], Qt::Key_Return);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(OptionsTest, StoredValuesCheckOnlyWhenTheyReadAsOne)
{
    settings.set("DefaultViewer", " 1 ");
    settings.set("DefaultPrinter", "yes");
    settings.set("ShowSplash", "2");
    open();
    EXPECT_TRUE(dialog->fOption[0]->isChecked());
    EXPECT_FALSE(dialog->fOption[1]->isChecked()); // not a number: counts as 0
    EXPECT_FALSE(dialog->fOption[2]->isChecked());
    EXPECT_FALSE(dialog->saveButton->isEnabled()); // loading the boxes is no change
}

TEST_F(OptionsTest, AClickBackToTheStoredStateStillCountsAsAChangeAndClosingAsks)
{
    open();
    QTest::mouseClick(dialog->fOption[1], Qt::LeftButton);
    QTest::mouseClick(dialog->fOption[1], Qt::LeftButton);
    EXPECT_TRUE(dialog->saveButton->isEnabled());
    EXPECT_TRUE(dialog->saveButton->isDefault());
    EXPECT_FALSE(dialog->cancelButton->isDefault());
    EXPECT_EQ(dialog->cancelButton->text(), "Cancel");

    answer = QMessageBox::Cancel;
    QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "The Quillon options have changed.\r\n\r\n    Do you wish to save the changes?");
    EXPECT_EQ(asked[0].title, " Exit Options Entry");
    // Cancel keeps the dialog open with the user's changes.
    EXPECT_FALSE(closed());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->saveButton->isEnabled());

    answer = QMessageBox::No;
    dialog->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(OptionsTest, AnsweringYesSavesThenCloses)
{
    open();
    QTest::mouseClick(dialog->fOption[2], Qt::LeftButton);
    answer = QMessageBox::Yes;
    QTest::keyClick(dialog->fOption[2], Qt::Key_Escape);
    EXPECT_TRUE(closed());
    EXPECT_EQ(settings.get("ShowSplash"), "0");
    EXPECT_EQ(settings.get("DefaultViewer"), "0");
    EXPECT_EQ(endCalls, 0);
}

TEST_F(OptionsTest, SaveStoresTheBoxesAppliesBothVerbsAndStaysOpen)
{
    registry.storeForeign(HKEY_CLASSES_ROOT, "fonfile\\shell\\open\\command", "other %1");
    settings.set("PriorPrintAssociation", "printer %1");
    open();
    QTest::mouseClick(dialog->fOption[0], Qt::LeftButton);
    QTest::mouseClick(dialog->saveButton, Qt::LeftButton);

    EXPECT_EQ(settings.get("DefaultViewer"), "1");
    EXPECT_EQ(settings.get("DefaultPrinter"), "0");
    EXPECT_EQ(settings.get("ShowSplash"), "1");
    EXPECT_EQ(settings.get("PriorViewAssociation"), QString("other %1") + QChar(0));
    EXPECT_EQ(registry.read(HKEY_LOCAL_MACHINE, "software\\classes\\ttffile\\shell\\open\\command"),
              "/usr/bin/quillon %1");
    // The unchecked printer box put the remembered print command back and forgot it.
    EXPECT_EQ(registry.read(HKEY_CLASSES_ROOT, "pfmfile\\shell\\print\\command"), "printer %1");
    EXPECT_EQ(settings.get("PriorPrintAssociation"), "");

    EXPECT_FALSE(closed());
    EXPECT_FALSE(dialog->saveButton->isEnabled());
    EXPECT_EQ(dialog->cancelButton->text(), "&Close");
    EXPECT_TRUE(dialog->cancelButton->isDefault());
}

TEST_F(OptionsTest, SavingWithTheViewerUncheckedAndNothingRememberedLeavesTheAssociationsAlone)
{
    open();
    QTest::mouseClick(dialog->fOption[2], Qt::LeftButton);
    QTest::mouseClick(dialog->saveButton, Qt::LeftButton);
    EXPECT_TRUE(registry.written.isEmpty());
    EXPECT_TRUE(registry.created.isEmpty());
}

TEST_F(OptionsTest, AnotherWindowOfTheProgramBecomingActiveClosesWithoutAskingOrSaving)
{
    QWidget main;
    main.setGeometry(50, 50, 640, 480);
    main.show();
    open(&main, main.frameGeometry());
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.data()));
    QTest::mouseClick(dialog->fOption[0], Qt::LeftButton);

    main.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([this] { return closed(); }, 2000));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(OptionsTest, EscapeWithShiftCtrlOrAltEndsTheProgramUnlessTheQuestionIsCancelled)
{
    open();
    QTest::keyClick(dialog->fOption[0], Qt::Key_Escape);
    EXPECT_TRUE(closed());
    QCoreApplication::processEvents();
    EXPECT_EQ(endCalls, 0);

    for (const Qt::KeyboardModifier held : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        open();
        QTest::mouseClick(dialog->fOption[0], Qt::LeftButton);
        answer = QMessageBox::Cancel;
        const int before = endCalls;
        asked.clear();
        QTest::keyClick(dialog->saveButton, Qt::Key_Escape, held);
        QCoreApplication::processEvents();
        EXPECT_EQ(asked.size(), 1u);
        EXPECT_EQ(endCalls, before); // Cancel keeps the changes open, and the program running
        EXPECT_FALSE(closed());

        answer = QMessageBox::No;
        QTest::keyClick(dialog->saveButton, Qt::Key_Escape, held);
        QCoreApplication::processEvents();
        EXPECT_EQ(asked.size(), 2u);
        EXPECT_EQ(endCalls, before + 1);
        // The program's end closes the windows left; this one has answered and asks nothing more.
        if (dialog) dialog->close();
        EXPECT_EQ(asked.size(), 2u);
        EXPECT_TRUE(closed());
    }
}

TEST_F(OptionsTest, TheQuestionIsAYesNoCancelQuestionBoxOverTheDialog)
{
    dialog = new Options(QRect(0, 0, 800, 600), settings, routines, module, {});
    dialog->show();
    QTest::mouseClick(dialog->fOption[0], Qt::LeftButton);

    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    int questionIndent = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        if (box->defaultButton()) defaultButton = box->standardButton(box->defaultButton());
        // The question's own line keeps its four leading blanks: it starts right of the line above.
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
            const QImage shown = label->grab().toImage();
            const auto firstInk = [&](int fromRow, int toRow) {
                for (int x = 0; x < shown.width(); ++x)
                    for (int y = fromRow; y < toRow; ++y)
                        if (qGray(shown.pixel(x, y)) < 128) return x;
                return -1;
            };
            questionIndent =
                firstInk(shown.height() * 2 / 3, shown.height()) - firstInk(0, shown.height() / 3);
        }
        box->button(QMessageBox::No)->click();
    });
    dialog->close();
    EXPECT_EQ(text, Options::kQuestionText);
    EXPECT_EQ(title, " Exit Options Entry");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(defaultButton, QMessageBox::Yes);
    EXPECT_GT(questionIndent, 6);
    EXPECT_TRUE(closed());
}

} // namespace
