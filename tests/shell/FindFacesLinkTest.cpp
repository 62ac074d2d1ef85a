// The Find Faces window reached from the main window as a user reaches it: Ctrl+F, the face list's and the
// summary's context menus, and a face chosen there selected in the main window's list.
#include "find/FindFaces.h"
#include "find/FindIndex.h"
#include "find/FindResults.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"
#include "summary/Summary.h"
#include "support/QtPrint.h"
#include "support/ViewerFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class FindFacesLinkTest : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        load();
    }
    find::FindFaces* window() const { return viewer->findChild<find::FindFaces*>("findFaces"); }
};

} // namespace

TEST_F(FindFacesLinkTest, CtrlFOpensItAndAFaceChosenThereIsSelectedInTheMainWindow)
{
    EXPECT_EQ(window(), nullptr); // nothing is surveyed before it is asked for
    QTest::keyClick(viewer->fontList, Qt::Key_F, Qt::ControlModifier);
    find::FindFaces* find = window();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return find->results()->rowCount() > 0; }));
    QTest::keyClicks(find->nameField, "liberation serif");
    ASSERT_EQ(find->results()->rowCount(), 1);
    QTest::keyClick(find->nameField, Qt::Key_Return);
    EXPECT_EQ(viewer->fontList->text(), "Liberation Serif");
    EXPECT_TRUE(
        viewer->displayText->toPlainText().startsWith("Liberation Serif")); // as a click in the list does
    QTest::keyClick(find->nameField, Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
}

TEST_F(FindFacesLinkTest, TheContextMenusOfferIt)
{
    viewer->summaryButton_Click();
    auto* summary = viewer->findChild<Summary*>("Summary");
    ASSERT_NE(summary, nullptr);
    QMenu* menu = summary->makeContextMenu();
    ASSERT_NE(menu, nullptr);
    QAction* action = menu->findChild<QAction*>("findFacesAction");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "Find Faces\u2026");
    action->trigger();
    delete menu; // as a closed menu goes; the window opens once the event loop runs
    EXPECT_TRUE(QTest::qWaitFor([&] { return window() != nullptr && window()->isVisible(); }));
}
