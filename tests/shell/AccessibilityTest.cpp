// Every window the main window can open, walked through its accessibility tree as a screen reader walks it
// (offscreen, through Qt's accessibility interfaces), and the owner-drawn parts' text measured against what
// is behind it under light, dark and high-contrast palettes.
#include "base/WindowGeometry.h"
#include "controls/AccessibleControls.h"
#include "controls/Button.h"
#include "controls/Contrast.h"
#include "shell/Logo.h"
#include "shell/SamplePicture.h"
#include "shell/ScreenFit.h"
#include "shell/SimpleCombo.h"
#include "support/AccessibilityAudit.h"
#include "support/ViewerFixture.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class AccessibilityTest : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        load();
        QCoreApplication::processEvents();
    }

    /// Runs `open`, then audits every window on show; a modal window is audited from inside its own wait
    /// and closed.
    void auditAfter(const std::function<void()>& open, QStringList& problems, QStringList& audited)
    {
        bool sawModal = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && !sawModal) {
                sawModal = true;
                problems << test::visibleWindowsProblems(&audited);
                modal->close();
            }
        });
        poll.start();
        open();
        QCoreApplication::processEvents();
        poll.stop();
        if (!sawModal) problems << test::visibleWindowsProblems(&audited);
    }
};

// The windows are found as a user finds them: each command button and shortcut of the main window is
// pressed in turn (a window added later is walked as soon as a button or shortcut opens it).
TEST_F(AccessibilityTest, EveryWindowTheMainWindowOpensHasNamedControlsLinkedLabelsAndATitle)
{
    QStringList problems;
    QStringList audited;
    auditAfter([] {}, problems, audited);
    for (QPushButton* button : viewer->findChildren<QPushButton*>()) {
        if (button == viewer->exitButton) continue;
        auditAfter([button] { button->click(); }, problems, audited);
    }
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence(Qt::CTRL | Qt::Key_P)})
        auditAfter([this, keys] { QTest::keySequence(viewer->fontList->editField(), keys); }, problems,
                   audited);
    for (QShortcut* shortcut : viewer->findChildren<QShortcut*>())
        auditAfter([shortcut] { emit shortcut->activated(); }, problems, audited);
    for (QAction* action : viewer->findChildren<QAction*>())
        auditAfter([action] { action->trigger(); }, problems, audited);
    // The round button opens the About box as the user's click would.
    auditAfter([this] { emit static_cast<Button*>(viewer->HelpButton)->Click(); }, problems, audited);

    audited.removeDuplicates();
    for (const char* title :
         {"Quillon", "Font Summary", "Printer Setup", "Quillon Options", "About Quillon", "Face Information"})
        EXPECT_TRUE(audited.contains(QLatin1String(title)))
            << title << " was never opened: " << audited.join(", ").toStdString();
    problems.removeDuplicates();
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST_F(AccessibilityTest, OwnerDrawnControlsSayWhatTheyShowAndTheRoundButtonCanBePressed)
{
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(viewer->HelpButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), "?");
    EXPECT_EQ(button->text(QAccessible::Description), "View program and company-contact information");
    QAccessibleActionInterface* actions = button->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    int clicks = 0;
    QObject::connect(static_cast<Button*>(viewer->HelpButton), &Button::Click, [&] { ++clicks; });
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);

    QAccessibleInterface* sample = QAccessible::queryAccessibleInterface(viewer->displayPicture);
    ASSERT_NE(sample, nullptr);
    const QString shown = viewer->displayText->toPlainText();
    EXPECT_EQ(sample->text(QAccessible::Name), shown);
    EXPECT_TRUE(sample->text(QAccessible::Description).contains(QStringLiteral("points")));
    ASSERT_NE(sample->textInterface(), nullptr);
    EXPECT_EQ(sample->textInterface()->text(0, sample->textInterface()->characterCount()), shown);
}

// Qt hands a reader rich text with a mark (U+FDD0, U+FDD1, U+2029) between table cells and paragraphs; the
// face information's tables must read as lines.
TEST_F(AccessibilityTest, RichTextReadsWithoutFrameMarks)
{
    accessibility::installControls();
    QTextBrowser browser;
    browser.setHtml(
        QStringLiteral("<p>Layout features</p><table><tr><td>aalt</td><td>GSUB</td></tr></table>"));
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(&browser);
    ASSERT_NE(node, nullptr);
    ASSERT_NE(node->textInterface(), nullptr);
    QAccessibleTextInterface* text = node->textInterface();
    const QString all = text->text(0, text->characterCount());
    EXPECT_TRUE(all.contains(QStringLiteral("aalt\nGSUB"))) << all.toStdString();
    for (const QChar c : all) EXPECT_TRUE(c != QChar(0xFDD0) && c != QChar(0xFDD1) && c != QChar(0x2029));
    text->setSelection(0, 0, 6);
    EXPECT_EQ(browser.textCursor().selectedText(), QStringLiteral("Layout"));
}

TEST_F(AccessibilityTest, DetailsSelectAndCopyButTakeNoTyping)
{
    const QString before = viewer->detailText->toPlainText();
    viewer->detailText->setFocus();
    QTest::keyClicks(viewer->detailText, "xyz");
    EXPECT_EQ(viewer->detailText->toPlainText(), before);
    QTest::keyClick(viewer->detailText, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(viewer->detailText->textCursor().selectedText().size(), before.size());
}

TEST_F(AccessibilityTest, KeyboardFocusOnAnOwnerDrawnControlChangesItsPixelsAndAClickDoesNot)
{
    viewer->activateWindow();
    for (QWidget* control : {static_cast<QWidget*>(viewer->displayPicture), viewer->HelpButton}) {
        viewer->exitButton->setFocus();
        QCoreApplication::processEvents();
        const QImage unfocused = control->grab().toImage();
        control->setFocus();
        QCoreApplication::processEvents();
        ASSERT_TRUE(control->hasFocus()) << control->objectName().toStdString();
        const QImage focused = control->grab().toImage();
        EXPECT_NE(unfocused, focused) << control->objectName().toStdString();
        // The mark is drawn in the palette's highlight colour.
        EXPECT_EQ(focused.pixelColor(1, focused.height() / 2), control->palette().color(QPalette::Highlight))
            << control->objectName().toStdString();
        // A click gives the focus without a mark: the look stays as it was.
        viewer->exitButton->setFocus();
        control->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        ASSERT_TRUE(control->hasFocus());
        EXPECT_EQ(control->grab().toImage(), unfocused) << control->objectName().toStdString();
    }
}

// A window placed partly past the screen's edge (at a large scale, on a small screen) is moved in.
TEST(ScreenFit, AWindowPastTheScreensEdgeIsMovedWithinTheAvailableArea)
{
    EXPECT_EQ(keptWithin(QRect(700, 500, 300, 200), QRect(0, 0, 800, 600)), QPoint(500, 400));
    EXPECT_EQ(keptWithin(QRect(-40, -30, 300, 200), QRect(0, 20, 800, 580)), QPoint(0, 20));
    EXPECT_EQ(keptWithin(QRect(100, 100, 300, 200), QRect(0, 0, 800, 600)), QPoint(100, 100));
    // Larger than the screen: the top left (the caption) stays reachable.
    EXPECT_EQ(keptWithin(QRect(300, 300, 1000, 900), QRect(0, 0, 800, 600)), QPoint(0, 0));

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(300, 200);
    window.move(available.right() - 50, available.bottom() - 50);
    ScreenFit::fit(window);
    EXPECT_TRUE(available.contains(QRect(window.pos(), window.size())))
        << window.pos().x() << "," << window.pos().y();
}

// ---- Contrast of the owner-drawn parts --------------------------------------------------------------------

QPalette paletteNamed(const std::string& name)
{
    QPalette p = QApplication::style()->standardPalette();
    if (name == "dark") {
        p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
        p.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
        p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        p.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
        p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
        p.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
        p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    } else if (name == "high-contrast") {
        p.setColor(QPalette::Window, Qt::black);
        p.setColor(QPalette::WindowText, Qt::white);
        p.setColor(QPalette::Base, Qt::black);
        p.setColor(QPalette::Text, Qt::white);
        p.setColor(QPalette::Button, Qt::black);
        p.setColor(QPalette::ButtonText, Qt::white);
        p.setColor(QPalette::Highlight, Qt::yellow);
    }
    return p;
}

/// The best contrast any pixel of `area` has against `behind`: the core of the letters, where the text's
/// own colour shows.
double textContrast(const QImage& image, const QRect& area, const QColor& behind)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast::ratio(image.pixelColor(x, y), behind));
    return best;
}

class PaletteContrast : public test::ViewerFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        saved_ = QApplication::palette();
        QApplication::setPalette(paletteNamed(GetParam()));
        buildViewer();
        load();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        viewer.reset();
        QApplication::setPalette(saved_);
    }

private:
    QPalette saved_;
};

TEST_P(PaletteContrast, TextOnOwnerDrawnPartsReadsAtFourAndAHalfToOne)
{
    // The round button's caption on its magenta fill, in the middle of the button.
    QWidget* help = viewer->HelpButton;
    const QImage button = help->grab().toImage();
    const QRect middle(button.width() / 3, button.height() / 4, button.width() / 3, button.height() / 2);
    EXPECT_GE(textContrast(button, middle, QColor(255, 0, 255)), contrast::kReadable);

    // The sample on its background.
    const QImage sample = viewer->displayPicture->grab().toImage();
    EXPECT_GE(textContrast(sample, QRect(2, 2, sample.width() / 2, sample.height() / 3),
                           viewer->displayPicture->palette().color(QPalette::Base)),
              contrast::kReadable);

    // The splash's message: every letter against the colour directly around it. Its yellow on magenta alone
    // reads at 2.97:1; the darkest pixel next to the message's lightest one must give the ratio.
    Logo logo(QIcon(), nullptr, std::chrono::milliseconds(0));
    logo.Form_Load();
    const QImage card = logo.grab().toImage();
    const QRect message = logo.Message->geometry() & card.rect();
    QPoint lightest = message.topLeft();
    for (int y = message.top(); y <= message.bottom(); ++y)
        for (int x = message.left(); x <= message.right(); ++x)
            if (contrast::luminance(card.pixelColor(x, y)) > contrast::luminance(card.pixelColor(lightest)))
                lightest = QPoint(x, y);
    double around = 1;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (card.rect().contains(lightest + QPoint(dx, dy)))
                around = std::max(around, contrast::ratio(card.pixelColor(lightest),
                                                          card.pixelColor(lightest + QPoint(dx, dy))));
    EXPECT_GE(around, contrast::kReadable);
}

INSTANTIATE_TEST_SUITE_P(Palettes, PaletteContrast, ::testing::Values("light", "dark", "high-contrast"));

TEST(Contrast, RatiosAreTheGuidelinesOnesAndReadableOnKeepsAColourThatReads)
{
    EXPECT_NEAR(contrast::ratio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(contrast::ratio(QColor(255, 255, 128), QColor(255, 0, 255)), 2.97, 0.01);
    EXPECT_NEAR(contrast::ratio(QColor(0xF0, 0xF0, 0xF0), QColor(255, 0, 255)), 2.75, 0.01);
    EXPECT_EQ(contrast::readableOn(Qt::black, QColor(255, 0, 255)), QColor(Qt::black));
    EXPECT_EQ(contrast::readableOn(QColor(0xF0, 0xF0, 0xF0), QColor(255, 0, 255)), QColor(Qt::black));
    EXPECT_EQ(contrast::readableOn(QColor(0x20, 0x20, 0x20), QColor(0x10, 0x10, 0x40)), QColor(Qt::white));
}

} // namespace
