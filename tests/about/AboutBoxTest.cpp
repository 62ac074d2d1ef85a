// The About box as the user sees it: texts, links, buttons, and the messages it answers failures with.
#include "RecordingShell.h"
#include "about/LinkLabel.h"
#include "about/frmAbout.h"
#include "platform/MemoryRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;

namespace {

// Runs `action` and answers every message box it opens with OK; returns their texts.
QStringList answeringMessages(const std::function<void()>& action)
{
    QStringList texts;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Quillon"));
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start();
    action();
    poll.stop();
    return texts;
}

struct Box {
    MemoryRegistry registry;
    test::RecordingShell shell;
    QPointer<frmAbout> about = new frmAbout(registry, shell, QRect(100, 100, 600, 400));
    ~Box() { delete about.data(); }
};

} // namespace

TEST(AboutBox, ShowsItsTextsAndLayout)
{
    Box b;
    frmAbout& a = *b.about;
    EXPECT_EQ(a.windowTitle(), QStringLiteral(" About Quillon"));
    EXPECT_EQ(a.lblTitle->text(), QStringLiteral("Quillon"));
    EXPECT_EQ(a.lblVersion->text(), QStringLiteral("Version 1.3"));
    EXPECT_EQ(
        a.lblDescription->text(),
        QStringLiteral("The Quillon is designed to provide information about the screen/printer fonts "
                       "installed on your system.  This program also provides the ability to view different "
                       "sizes and effects for each font, and the ability to view text that you type to see "
                       "how it appears.  In addition, the program gives the option to print a single font "
                       "or to compare the appearance of all fonts in a summary-type view."));
    EXPECT_TRUE(a.lblDescription->wordWrap());
    EXPECT_EQ(a.lblDisclaimer->text(), QStringLiteral("Please send any comments or suggestions to:"));
    EXPECT_EQ(a.Label1->text(), QStringLiteral("Web site:"));
    EXPECT_TRUE(a.EmailLink->text().endsWith(QLatin1String("@example.com")));
    EXPECT_TRUE(a.WebLink->text().contains(QLatin1String("example.com")));
    EXPECT_EQ(a.EmailLink->toolTip(), QStringLiteral(" Send an e-mail to Brindlewick "));
    EXPECT_EQ(a.WebLink->toolTip(), QStringLiteral(" Visit the Brindlewick web site "));
    EXPECT_TRUE(a.EmailLink->font().underline());
    EXPECT_EQ(a.cmdOK->text(), QStringLiteral("OK"));
    EXPECT_TRUE(a.cmdOK->isDefault());
    EXPECT_EQ(a.cmdSysInfo->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(a.size(), QSize(403, 285));
    EXPECT_EQ(a.cmdOK->geometry(), QRect(305, 214, 84, 23));
    EXPECT_EQ(a.lblTitle->font().pointSizeF(), 13.5);
    EXPECT_TRUE(a.lblTitle->font().bold());
    EXPECT_FALSE(a.isModal());
}

TEST(AboutBox, VersionTextKeepsAtLeastOneMinorDigit)
{
    EXPECT_EQ(frmAbout::versionText(1, 3), QStringLiteral("Version 1.3"));
    EXPECT_EQ(frmAbout::versionText(2, 0), QStringLiteral("Version 2.0"));
    EXPECT_EQ(frmAbout::versionText(1, 12), QStringLiteral("Version 1.12"));
}

TEST(AboutBox, TheEmailLinkComposesToTheMakerWithTheVersionAsSubject)
{
    Box b;
    QTest::mouseClick(b.about->EmailLink, Qt::LeftButton);
    ASSERT_EQ(b.shell.opened.size(), 1u);
    const QUrl mail = b.shell.opened[0];
    EXPECT_EQ(mail.toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:brindlewick@example.com?subject=Quillon,%20Version%201.3"));
    EXPECT_EQ(frmAbout::mailtoUrl("a@example.com", "x & y").toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:a@example.com?subject=x%20%26%20y"));

    b.shell.openSucceeds = false; // no mail handler, or it failed to start
    const QStringList texts =
        answeringMessages([&] { QTest::mouseClick(b.about->EmailLink, Qt::LeftButton); });
    EXPECT_EQ(texts, QStringList{QStringLiteral("A problem has occurred while trying to send an e-mail.")});
}

TEST(AboutBox, TheWebLinkOpensTheSiteAndIgnoresFailure)
{
    Box b;
    b.shell.openSucceeds = false;
    const QStringList texts = answeringMessages([&] { QTest::mouseClick(b.about->WebLink, Qt::LeftButton); });
    EXPECT_TRUE(texts.isEmpty());
    ASSERT_EQ(b.shell.opened.size(), 1u);
    EXPECT_EQ(b.shell.opened[0].host(), QStringLiteral("www.example.com"));
}

TEST(AboutBox, SystemInfoReportsWhatCannotStart)
{
    {
        Box b; // no key at all
        const QStringList texts = answeringMessages([&] { b.about->cmdSysInfo->click(); });
        EXPECT_EQ(texts, QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }
    {
        Box b; // a folder without the program
        QTemporaryDir folder;
        HKEY key = 0;
        b.registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", 0,
                                  KEY_ALL_ACCESS, key, nullptr);
        const std::string path = folder.path().toStdString();
        b.registry.RegSetValueEx(key, "MSINFO", REG_SZ, reinterpret_cast<const unsigned char*>(path.data()),
                                 static_cast<DWORD>(path.size()));
        b.registry.RegCloseKey(key);
        const QStringList texts = answeringMessages([&] { b.about->cmdSysInfo->click(); });
        EXPECT_EQ(texts, QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        EXPECT_TRUE(b.shell.started.isEmpty());
    }
    {
        Box b; // a path that cannot be started
        HKEY key = 0;
        b.registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0,
                                  KEY_ALL_ACCESS, key, nullptr);
        b.registry.RegSetValueEx(key, "PATH", REG_SZ, reinterpret_cast<const unsigned char*>("/no/tool"), 8);
        b.registry.RegCloseKey(key);
        b.shell.startSucceeds = false;
        const QStringList texts = answeringMessages([&] { b.about->cmdSysInfo->click(); });
        EXPECT_EQ(texts, QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        EXPECT_EQ(b.shell.started, QStringList{QStringLiteral("/no/tool")});

        b.shell.startSucceeds = true;
        EXPECT_TRUE(answeringMessages([&] { b.about->cmdSysInfo->click(); }).isEmpty());
    }
}

TEST(AboutBox, OkAndEscapeCloseTheBoxAndOtherKeysDoNot)
{
    for (int way = 0; way < 3; ++way) {
        Box b;
        b.about->show();
        if (way == 0) b.about->cmdOK->click();
        if (way == 1) QTest::keyClick(b.about.data(), Qt::Key_Escape, Qt::ShiftModifier);
        if (way == 2) QTest::keyClick(b.about.data(), Qt::Key_Return);
        EXPECT_FALSE(b.about->isVisible()) << way;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(b.about.isNull()) << way; // closed boxes go, so the next opening is fresh
    }
    Box b;
    b.about->show();
    QTest::keyClick(b.about.data(), Qt::Key_A);
    QTest::keyClick(b.about.data(), Qt::Key_F1);
    EXPECT_TRUE(b.about->isVisible());
}

// The links come after the buttons in the tab order, act on Enter and Space as on a click (Enter does not
// also press OK), and show a mark only while the keyboard holds the focus there.
TEST(AboutBox, TabReachesTheLinksAfterTheButtonsAndEnterOrSpacePressesThem)
{
    Box b;
    frmAbout& a = *b.about;
    a.show();
    a.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&a));
    const QImage unmarked = a.grab().toImage();
    EXPECT_EQ(QApplication::focusWidget(), a.cmdOK);
    QTest::mouseClick(a.EmailLink, Qt::LeftButton);
    EXPECT_EQ(b.shell.opened.size(), 1u);
    EXPECT_FALSE(a.EmailLink->hasFocus()); // a click leaves the look as it was
    EXPECT_EQ(a.grab().toImage(), unmarked);

    a.cmdOK->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"cmdSysInfo", "EmailLink", "WebLink", "cmdOK"}));

    a.EmailLink->setFocus(Qt::TabFocusReason);
    const QImage marked = a.grab().toImage();
    EXPECT_NE(marked, unmarked);
    // The mark goes round the address, not across its letters.
    const QColor window = a.palette().color(QPalette::Window);
    const QRect letters = a.EmailLink->geometry();
    for (int y = letters.top(); y <= letters.bottom(); ++y)
        for (int x = letters.left(); x <= letters.right(); ++x)
            if (unmarked.pixelColor(x, y) != window)
                ASSERT_EQ(marked.pixelColor(x, y), unmarked.pixelColor(x, y)) << x << "," << y;
    QTest::keyClick(a.EmailLink, Qt::Key_Return);
    QTest::keyClick(a.EmailLink, Qt::Key_Space);
    QTest::keyClick(a.WebLink, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(b.shell.opened.size(), 4u);
    EXPECT_EQ(b.shell.opened[1], b.shell.opened[0]);
    EXPECT_EQ(b.shell.opened[2], b.shell.opened[0]);
    EXPECT_EQ(b.shell.opened[3].host(), QStringLiteral("www.example.com"));
    EXPECT_TRUE(a.isVisible());
}

TEST(AboutBox, AReaderFindsEachLinkByItsAddressAndCanPressIt)
{
    Box b;
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(b.about->WebLink);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), frmAbout::kMakerWeb);
    EXPECT_EQ(link->text(QAccessible::Description), QStringLiteral("Visit the Brindlewick web site"));
    EXPECT_TRUE(link->state().focusable);
    ASSERT_NE(link->actionInterface(), nullptr);
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(b.shell.opened.size(), 1u);
    EXPECT_EQ(b.shell.opened[0].host(), QStringLiteral("www.example.com"));
}
