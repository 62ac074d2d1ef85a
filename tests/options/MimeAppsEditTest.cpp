// Line-preserving edits of the user's association lists: what the desktop would refuse is refused, and
// whatever the program puts in can be taken out again leaving the file exactly as it was.
#include "OptionsTestSupport.h"

#include "platform/linux/settings/KeyFileLines.h"
#include "platform/linux/xdg/MimeAppsEditor.h"

#include <gtest/gtest.h>

using namespace quillon::platform;
using quillon::testing::PrivateDesktop;

namespace {

const QString kOurs = "org.quillon.Quillon.desktop";
const QString kPrint = "org.quillon.Quillon.Print.desktop";

TEST(KeyFileLines, RefusesWhatTheDesktopWouldRefuse)
{
    for (const char* bad : {"font/ttf=a.desktop\n",                         // no group yet
                            "[Default Applications]\nnot a pair\n",         // neither pair, group nor comment
                            "[Default Applications\nfont/ttf=a;\n",         // unclosed header
                            "[]\n",                                         // empty group name
                            "[Default Applications]\n=a.desktop\n",         // empty key
                            "[Default Applications]\n [x]y=1\n",            // bracket in key
                            "[Default Applications]\nfont/ttf=\xff\xfe\n"}) // not UTF-8
        EXPECT_FALSE(KeyFileLines::parse(bad).has_value()) << bad;
    EXPECT_FALSE(KeyFileLines::parse(QByteArray("[A]\nk=v\0w\n", 11)).has_value());

    const auto good = KeyFileLines::parse("# comment\n\n  [Default Applications]  \r\n"
                                          "  font/ttf = a.desktop;b.desktop \r\nName[de_DE.UTF-8@euro]=x\n");
    ASSERT_TRUE(good.has_value());
    const auto entries = good->entries("Default Applications");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "font/ttf");
    EXPECT_EQ(entries[0].value, "a.desktop;b.desktop");
    EXPECT_EQ(KeyFileLines::listItems(entries[0].value), QStringList({"a.desktop", "b.desktop"}));
    EXPECT_EQ(KeyFileLines::unescape("a\\sb\\\\c\\n"), "a b\\c\n");
}

TEST(KeyFileLines, EditsChangeOnlyTheirOwnLines)
{
    const QByteArray original = "# mine\r\n[Default Applications]\r\ntext/plain = vim.desktop \r\n\r\n"
                                "[Added Associations]\nimage/png=a.desktop";
    auto file = KeyFileLines::parse(original);
    ASSERT_TRUE(file);
    const int line = file->entries("Default Applications")[0].line;
    file->setValue(line, "x.desktop;vim.desktop");
    file->append("Default Applications", "font/ttf", "y;");
    file->append("Removed Associations", "font/otf", "z;");
    EXPECT_EQ(file->text(),
              "# mine\r\n[Default Applications]\r\ntext/plain = x.desktop;vim.desktop \r\nfont/ttf=y;\n"
              "\r\n[Added Associations]\nimage/png=a.desktop\n[Removed Associations]\nfont/otf=z;\n");
}

TEST(MimeAppsEditor, ListValuesTakeTheItemInAndOutInTheirOwnStyle)
{
    EXPECT_EQ(MimeAppsEditor::withItemFirst("", "q"), "q;");
    EXPECT_EQ(MimeAppsEditor::withItemFirst("a.desktop", "q"), "q;a.desktop");
    EXPECT_EQ(MimeAppsEditor::withItemFirst("a;q;b;", "q"), "q;a;b;");
    EXPECT_EQ(MimeAppsEditor::withItemFirst("q;a", "q"), "q;a");
    EXPECT_EQ(MimeAppsEditor::withItemLast("a;b", "q"), "a;b;q");
    EXPECT_EQ(MimeAppsEditor::withItemLast("a;b;", "q"), "a;b;q;");
    for (const char* value : {"a.desktop", "a;b;", "a ; b", "x\\s;y"}) {
        EXPECT_EQ(MimeAppsEditor::withoutItem(MimeAppsEditor::withItemFirst(value, "q"), "q"), value);
        EXPECT_EQ(MimeAppsEditor::withoutItem(MimeAppsEditor::withItemLast(value, "q"), "q"), value);
    }
}

struct MimeAppsEditorTest : ::testing::Test {
    PrivateDesktop desktop;
    const QStringList types{"application/x-font-fon", "font/otf", "application/x-font-pfm", "font/collection",
                            "font/ttf"};

    QByteArray userList() { return PrivateDesktop::read(desktop.userList()).value_or("<none>"); }
};

TEST_F(MimeAppsEditorTest, ARoundTripLeavesTheUserListByteForByte)
{
    const QByteArray original = "# kept as it is\n[Default Applications]\r\n"
                                "font/ttf = fontviewer.desktop \r\n"
                                "application/x-font-otf=typeviewer.desktop;\n" // an alias of font/otf
                                "text/plain=vim.desktop;\n\n"
                                "[Added Associations]\nfont/ttf=a.desktop;b.desktop\n";
    PrivateDesktop::write(desktop.userList(), original);
    MimeAppsEditor editor(XdgPaths::fromEnvironment());
    for (const QString& type : types) {
        ASSERT_TRUE(editor.claimDefault(type, kOurs));
        ASSERT_TRUE(editor.addAssociation(type, kPrint));
    }
    const QByteArray claimed = userList();
    EXPECT_TRUE(claimed.contains("font/ttf = " + kOurs.toUtf8() + ";fontviewer.desktop \r\n"));
    EXPECT_TRUE(claimed.contains("application/x-font-otf=" + kOurs.toUtf8() + ";typeviewer.desktop;\n"));
    EXPECT_TRUE(claimed.contains("font/ttf=a.desktop;b.desktop;" + kPrint.toUtf8() + "\n"));
    EXPECT_TRUE(editor.isNamed(kOurs));

    for (const QString& type : types) {
        ASSERT_TRUE(editor.giveBackDefault(type, kOurs));
        ASSERT_TRUE(editor.removeAssociation(type, kPrint));
    }
    EXPECT_EQ(userList(), original);
    EXPECT_FALSE(editor.isNamed(kOurs));
    EXPECT_FALSE(editor.isNamed(kPrint));
}

TEST_F(MimeAppsEditorTest, ALineOrListMadeOnlyForTheProgramGoesAgain)
{
    MimeAppsEditor editor(XdgPaths::fromEnvironment());
    ASSERT_TRUE(editor.claimDefault("font/ttf", kOurs));
    ASSERT_TRUE(editor.addAssociation("font/ttf", kPrint));
    EXPECT_EQ(userList(), "[Default Applications]\nfont/ttf=" + kOurs.toUtf8() +
                              ";\n[Added Associations]\nfont/ttf=" + kPrint.toUtf8() + ";\n");
    ASSERT_TRUE(editor.giveBackDefault("font/ttf", kOurs));
    ASSERT_TRUE(editor.removeAssociation("font/ttf", kPrint));
    EXPECT_FALSE(QFile::exists(desktop.userList()));

    // A header the user wrote with nothing under it but a blank line is theirs and stays.
    PrivateDesktop::write(desktop.userList(), QByteArray("[Added Associations]\n\n[Default Applications]\n"));
    ASSERT_TRUE(editor.addAssociation("font/otf", kPrint));
    ASSERT_TRUE(editor.removeAssociation("font/otf", kPrint));
    EXPECT_EQ(userList(), "[Added Associations]\n\n[Default Applications]\n");
}

TEST_F(MimeAppsEditorTest, TheDesktopsOwnListWinsWhenItAlreadyNamesADefault)
{
    desktop.setVariable("XDG_CURRENT_DESKTOP", QString("ubuntu:GNOME"));
    const QString gnomeList = desktop.path("config/gnome-mimeapps.list");
    PrivateDesktop::write(gnomeList, QByteArray("[Default Applications]\nfont/ttf=fontviewer.desktop\n"));
    MimeAppsEditor editor(XdgPaths::fromEnvironment());
    ASSERT_TRUE(editor.claimDefault("font/ttf", kOurs));
    ASSERT_TRUE(editor.claimDefault("font/otf", kOurs));
    EXPECT_EQ(PrivateDesktop::read(gnomeList),
              "[Default Applications]\nfont/ttf=" + kOurs.toUtf8() + ";fontviewer.desktop\n");
    EXPECT_EQ(userList(), "[Default Applications]\nfont/otf=" + kOurs.toUtf8() + ";\n");
}

TEST_F(MimeAppsEditorTest, AListTheDesktopCannotReadIsNeverWritten)
{
    const QByteArray garbage =
        "[Default Applications]\nthis line is no pair\nfont/ttf=" + kOurs.toUtf8() + ";\n";
    PrivateDesktop::write(desktop.userList(), garbage);
    MimeAppsEditor editor(XdgPaths::fromEnvironment());
    EXPECT_FALSE(editor.claimDefault("font/ttf", kOurs));
    EXPECT_FALSE(editor.giveBackDefault("font/ttf", kOurs));
    EXPECT_FALSE(editor.addAssociation("font/ttf", kPrint));
    EXPECT_EQ(userList(), garbage);
}

} // namespace
