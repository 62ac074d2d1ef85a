// The font classes' shell command keys as a view of the desktop's associations, on a private desktop:
// what reading them gives, what writing them changes, and the whole round trip through the options
// dialog as the desktop's own tools (xdg-mime, gio) see it.
#include "OptionsTestSupport.h"

#include "base/FontModule.h"
#include "options/FileAssociations.h"
#include "options/Options.h"
#include "options/OptionsChange.h"
#include "platform/linux/registry/DesktopCommandKeyView.h"
#include "platform/linux/settings/IniSettingsStore.h"
#include "platform/linux/xdg/DesktopEntryText.h"
#include "platform/linux/xdg/MimeAppsLookup.h"
#include "platform/linux/xdg/XdgPaths.h"
#include "support/FullDisk.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;
using quillon::testing::PrivateDesktop;

namespace {

using Verb = DesktopAssociations::Verb;
const QStringList kKinds{"fon", "otf", "pfm", "ttc", "ttf"};
const QStringList kTypes{"application/x-font-fon", "font/otf", "application/x-font-pfm", "font/collection",
                         "font/ttf"};
const QString kOurs = "org.quillon.Quillon.desktop";
const QString kPrint = "org.quillon.Quillon.Print.desktop";

QString terminated(const QString& command) { return command + QChar(0); }

// Runs a desktop tool; empty when it is not installed.
QString run(const QString& program, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) return QString();
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

struct DesktopAssociationsTest : ::testing::Test {
    PrivateDesktop desktop;
    DesktopAssociations associations;
    QString quillon = desktop.program("quillon");
    QString viewer = desktop.program("fontviewer");
    QString typeViewer = desktop.program("typeviewer");

    DesktopAssociationsTest()
    {
        associations.setOwnCommands(quillon + " %1", quillon + " /p %1");
        // The desktop's font viewer, installed system-wide for the three types the MIME database knows.
        desktop.installApp("sys", "fontviewer.desktop", viewer + " --new-window %U %i");
        desktop.installApp("sys", "typeviewer.desktop", typeViewer + " %f");
        desktop.writeSystemCache({"font/collection=fontviewer.desktop;", "font/otf=fontviewer.desktop;",
                                  "font/ttf=fontviewer.desktop;"});
    }
    std::optional<QString> read(const QString& kind, Verb verb = Verb::Open)
    {
        return associations.command(kind, verb);
    }
};

TEST_F(DesktopAssociationsTest, ReadingGivesTheOpenersExecAsAForeignCommand)
{
    EXPECT_EQ(read("ttf"), terminated(viewer + " --new-window %1"));
    EXPECT_EQ(read("ttc"), terminated(viewer + " --new-window %1"));
    EXPECT_EQ(read("pfm"), std::nullopt); // nothing opens .pfm files
    // .fon has no opener of its own, so it answers with the TrueType opener.
    EXPECT_EQ(read("fon"), terminated(viewer + " --new-window %1"));
    EXPECT_EQ(read("fon", Verb::Print), terminated(viewer + " --new-window %1"));
    EXPECT_EQ(read("woff"), std::nullopt);

    // The user's choice wins, under the type's own name or an alias, and font/otf's opener is also its
    // parent font/ttf's when it has none of its own.
    PrivateDesktop::write(desktop.userList(), QByteArray("[Default Applications]\n"
                                                         "application/x-font-ttf=typeviewer.desktop;\n"
                                                         "application/x-font-fon=typeviewer.desktop;\n"));
    EXPECT_EQ(read("ttf"), terminated(typeViewer + " %1"));
    EXPECT_EQ(read("fon"), terminated(typeViewer + " %1"));
    desktop.writeSystemCache({});
    EXPECT_EQ(read("otf"), terminated(typeViewer + " %1"));
}

TEST_F(DesktopAssociationsTest, EntriesThatAreNotInstalledAreSkipped)
{
    desktop.installApp("data", "typeviewer.desktop", typeViewer + " %f",
                       "Hidden=true\n"); // masks the system one
    desktop.installApp("sys", "gone.desktop", "nowhere %f", "TryExec=/nonexistent/program\n");
    PrivateDesktop::write(
        desktop.userList(),
        QByteArray("[Default Applications]\nfont/ttf=missing.desktop;typeviewer.desktop;gone.desktop;\n"));
    EXPECT_EQ(read("ttf"), terminated(viewer + " --new-window %1"));

    // A list the desktop cannot read counts for nothing.
    PrivateDesktop::write(desktop.userList(), QByteArray("font/ttf=gone.desktop\n"));
    EXPECT_EQ(read("ttf"), terminated(viewer + " --new-window %1"));
}

TEST_F(DesktopAssociationsTest, TheProgramsOwnEntriesReadBackExactlyAsItsCommands)
{
    ASSERT_EQ(associations.setCommand("ttf", Verb::Open, quillon + " %1"), ERROR_SUCCESS);
    EXPECT_EQ(read("ttf"), quillon + " %1");
    EXPECT_EQ(read("ttf", Verb::Print), quillon + " %1"); // no print entry: the opener
    ASSERT_EQ(associations.setCommand("ttf", Verb::Print, quillon + " /p %1"), ERROR_SUCCESS);
    EXPECT_EQ(read("ttf", Verb::Print), quillon + " /p %1");
    EXPECT_EQ(read("otf", Verb::Print), terminated(viewer + " --new-window %1")); // its own opener

    // The entries are what a desktop accepts.
    const QString entry = desktop.path("data/applications/" + kOurs);
    const QString printEntry = desktop.path("data/applications/" + kPrint);
    EXPECT_TRUE(PrivateDesktop::read(entry)->contains("Exec=" + quillon.toUtf8() + " %f\n"));
    EXPECT_TRUE(PrivateDesktop::read(printEntry)->contains("Exec=" + quillon.toUtf8() + " /p %f\n"));
    EXPECT_TRUE(PrivateDesktop::read(printEntry)->contains("NoDisplay=true\n"));
    if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
        EXPECT_EQ(QProcess::execute("desktop-file-validate", {entry, printEntry}), 0);
    }
}

TEST_F(DesktopAssociationsTest, CommandsTurnIntoExecLinesAndBack)
{
    using namespace desktop;
    EXPECT_EQ(execFromCommand("\"/opt/my fonts/quillon\" /p %1"), "\"/opt/my fonts/quillon\" /p %f");
    EXPECT_EQ(execFromCommand("\"/opt/a\\b$c/q\" %1"), "\"/opt/a\\\\\\\\b\\\\$c/q\" %f");
    EXPECT_EQ(execFromCommand("/opt/100%/q %1"), "/opt/100%%/q %f");
    EXPECT_EQ(execFromCommand(" %1"), "");
    EXPECT_EQ(commandFromExec("\"/opt/my fonts/viewer\" --x=%% %F %i %c"),
              "\"/opt/my fonts/viewer\" --x=% %1");
    EXPECT_EQ(commandFromExec("viewer %k"), "viewer");
    // The openers pinned for the print entry read back as recorded, backslashes and all, so each pin
    // can be found again to be taken back.
    const QStringList kept{"font/ttf=odd\\s.desktop", "font/otf=a b.desktop"};
    const auto entry = KeyFileLines::parse(printEntry("/usr/bin/quillon /p %1", kept));
    ASSERT_TRUE(entry);
    EXPECT_EQ(keptOpenersOf(*entry), kept);
}

TEST_F(DesktopAssociationsTest, AnOwnCommandWithoutAProgramIsRefused)
{
    associations.setOwnCommands(" %1", " /p %1");
    EXPECT_EQ(associations.setCommand("ttf", Verb::Open, " %1"), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(QFile::exists(desktop.userList()));
    EXPECT_FALSE(QFile::exists(desktop.path("data/applications/" + kOurs)));
}

TEST_F(DesktopAssociationsTest, TheMimePackageIsInstalledForTheUserWhileFonOrPfmNeedsIt)
{
    // The private desktop sees the machine's MIME database; where the program's types were installed into it
    // system-wide, the program rightly installs nothing of its own.
    const MimeAppsLookup machine(XdgPaths::fromEnvironment());
    if (machine.knowsType("application/x-font-fon") && machine.knowsType("application/x-font-pfm"))
        GTEST_SKIP() << "this machine's MIME database already has the program's font types";
    const QString package = desktop.path("data/mime/packages/org.quillon.Quillon.xml");
    const bool tool = !QStandardPaths::findExecutable("update-mime-database").isEmpty();
    const auto types = [&] {
        associations.waitForMimeDatabase(); // the rebuild runs beside the program
        return PrivateDesktop::read(desktop.path("data/mime/types")).value_or("");
    };
    ASSERT_EQ(associations.setCommand("ttf", Verb::Open, quillon + " %1"), ERROR_SUCCESS);
    ASSERT_EQ(associations.setCommand("pfm", Verb::Print, quillon + " /p %1"), ERROR_SUCCESS);
    EXPECT_FALSE(QFile::exists(package)); // printing alone needs no type of its own
    ASSERT_EQ(associations.setCommand("pfm", Verb::Open, quillon + " %1"), ERROR_SUCCESS);
    EXPECT_EQ(PrivateDesktop::read(package), desktop::mimePackage());
    if (tool) {
        EXPECT_TRUE(types().contains("application/x-font-fon\n"));
        EXPECT_TRUE(types().contains("application/x-font-pfm\n"));
    }
    // Given back, the types go again and the files type as they did.
    ASSERT_EQ(associations.removeCommand("pfm", Verb::Open), ERROR_SUCCESS);
    EXPECT_FALSE(QFile::exists(package));
    if (tool) {
        EXPECT_FALSE(types().contains("application/x-font-pfm\n"));
    }
    // The package the program installs is the one shipped in data/.
    const QString shipped = qEnvironmentVariable("QUILLON_SOURCE_DIR") + "/data/org.quillon.Quillon.xml";
    if (QFile::exists(shipped)) {
        EXPECT_EQ(PrivateDesktop::read(shipped), desktop::mimePackage());
    }
}

TEST_F(DesktopAssociationsTest, AnUnreadableUserListStaysUntouchedAndTheWriteFails)
{
    const QByteArray garbage = "[Default Applications\nfont/ttf=typeviewer.desktop\n";
    PrivateDesktop::write(desktop.userList(), garbage);
    EXPECT_NE(associations.setCommand("ttf", Verb::Open, quillon + " %1"), ERROR_SUCCESS);
    EXPECT_NE(associations.setCommand("ttf", Verb::Open, terminated(viewer + " %1")), ERROR_SUCCESS);
    EXPECT_EQ(PrivateDesktop::read(desktop.userList()), garbage);
}

// The round trip the user makes through the dialog: the program as default viewer, then not; as printer,
// then not. Before it, another program is the user's default for font/ttf and the desktop's font viewer
// opens the other types it knows.
struct DesktopRoundTripTest : DesktopAssociationsTest {
    MemoryRegistry registry;
    RegistryModule routines{registry};
    QTemporaryDir settingsFolder;
    IniSettingsStore settings{settingsFolder.path()};
    FontModule module;
    const QByteArray userDefaults = "# mine\n[Default Applications]\nfont/ttf=typeviewer.desktop;\n";

    DesktopRoundTripTest()
    {
        for (const char* variable : {"DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
            desktop.setVariable(variable, std::nullopt);
        DesktopCommandKeyView::mountAll(registry, associations);
        module.fontExtensions = {"fon", "otf", "pfm", "ttc", "ttf", ""};
        module.viewCommand = quillon + " %1";
        module.printCommand = quillon + " /p %1";
        PrivateDesktop::write(desktop.userList(), userDefaults);
    }

    void saveOptions(bool viewer, bool printer, std::function<void(Options&)> check = {})
    {
        auto* dialog = new Options(QRect(0, 0, 800, 600), settings, routines, module, {});
        dialog->setNotice([this](QWidget*, const QString& text, const QString&) { notices << text; });
        dialog->show();
        dialog->fOption[0]->setChecked(viewer);
        dialog->fOption[1]->setChecked(printer);
        QTest::mouseClick(dialog->fOption[2],
                          Qt::LeftButton); // a change even when the two boxes are as stored
        QTest::mouseClick(dialog->fOption[2], Qt::LeftButton);
        QTest::mouseClick(dialog->saveButton, Qt::LeftButton);
        if (check) check(*dialog);
        delete dialog;
    }

    // Each type's default as `xdg-mime query default` and `gio mime` report it, and gio's openers.
    QStringList seen()
    {
        QStringList lines;
        for (const QString& type : kTypes) {
            const QString gio = run("gio", {"mime", type});
            const QString gioDefault = gio.section('\n', 0, 0).section(": ", 1);
            lines << type + " xdg=" + run("xdg-mime", {"query", "default", type}) + " gio=" + gioDefault +
                         (gio.contains(kPrint) ? " +print" : "");
        }
        return lines;
    }
    QString setting(const QString& key)
    {
        return settings.GetSetting("Quillon", "Settings", key, "<absent>");
    }
    QStringList notices;
    bool installed(const QString& id) { return QFile::exists(desktop.path("data/applications/" + id)); }
};

TEST_F(DesktopRoundTripTest, TheViewerBoxMakesTheProgramTheDefaultForAllFiveTypesAndGivesThemBack)
{
    if (run("xdg-mime", {"--version"}).isEmpty() || run("gio", {"version"}).isEmpty())
        GTEST_SKIP() << "xdg-mime or gio is not installed";
    const QStringList before = seen();
    ASSERT_EQ(before[4], "font/ttf xdg=typeviewer.desktop gio=typeviewer.desktop");
    ASSERT_EQ(before[1], "font/otf xdg=fontviewer.desktop gio=fontviewer.desktop");

    saveOptions(true, false);
    for (const QString& line : seen())
        EXPECT_TRUE(line.endsWith(" xdg=" + kOurs + " gio=" + kOurs)) << line.toStdString();
    EXPECT_EQ(setting("PriorViewAssociation"), terminated(typeViewer + " %1"));
    EXPECT_EQ(setting("DefaultViewer"), "1");

    saveOptions(true, false); // saving again keeps the command it replaced
    EXPECT_EQ(setting("PriorViewAssociation"), terminated(typeViewer + " %1"));

    saveOptions(false, false);
    EXPECT_EQ(seen(), before);
    EXPECT_EQ(PrivateDesktop::read(desktop.userList()), userDefaults);
    EXPECT_FALSE(installed(kOurs));
    EXPECT_EQ(setting("PriorViewAssociation"), "");
}

TEST_F(DesktopRoundTripTest, WhateverTheBoxesTheOpenerIsTheOneTheViewerBoxImplies)
{
    if (run("xdg-mime", {"--version"}).isEmpty() || run("gio", {"version"}).isEmpty())
        GTEST_SKIP() << "xdg-mime or gio is not installed";
    const QStringList before = seen();
    // The print entry alone, with the viewer, kept while the viewer goes, given back while the viewer
    // stays, and both off.
    const std::pair<bool, bool> steps[] = {
        {false, true}, {true, true}, {false, true}, {true, false}, {false, false}};
    for (const auto& [viewer, printer] : steps) {
        saveOptions(viewer, printer);
        const QStringList now = seen();
        for (int i = 0; i < kTypes.size(); ++i) {
            const QString opener = viewer ? kOurs : before[i].section(" gio=", 1);
            const bool print = printer && !opener.isEmpty();
            EXPECT_EQ(now[i], kTypes[i] + " xdg=" + opener + " gio=" + opener + (print ? " +print" : ""))
                << viewer << printer;
        }
    }
    EXPECT_EQ(PrivateDesktop::read(desktop.userList()), userDefaults);
    EXPECT_FALSE(installed(kOurs));
    EXPECT_FALSE(installed(kPrint));
    EXPECT_EQ(setting("PriorPrintAssociation"), "");
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(DesktopRoundTripTest, WithNoEarlierOpenerUncheckingStillGivesTheFilesBackAndTheirTypes)
{
    if (run("xdg-mime", {"--version"}).isEmpty() || run("gio", {"version"}).isEmpty())
        GTEST_SKIP() << "xdg-mime or gio is not installed";
    desktop.writeSystemCache({});
    QFile::remove(desktop.userList());
    const QString fon = desktop.path("home/sample.fon");
    PrivateDesktop::write(fon, QByteArray("MZ"));
    const auto typeOf = [&] {
        associations.waitForMimeDatabase();
        return run("gio", {"info", "-a", "standard::content-type", fon}).section(": ", -1);
    };
    const QStringList before = seen();
    const QString fonTypeBefore = typeOf();

    saveOptions(true, true);
    for (const QString& line : seen())
        EXPECT_TRUE(line.contains(" gio=" + kOurs + " +print")) << line.toStdString();
    EXPECT_EQ(setting("PriorViewAssociation"), "<absent>"); // nothing was there to remember
    EXPECT_EQ(typeOf(), "application/x-font-fon");

    saveOptions(false, false);
    EXPECT_EQ(seen(), before);
    EXPECT_FALSE(QFile::exists(desktop.userList()));
    EXPECT_FALSE(installed(kOurs));
    EXPECT_FALSE(QFile::exists(desktop.path("data/mime/packages/org.quillon.Quillon.xml")));
    EXPECT_EQ(typeOf(), fonTypeBefore);
}

TEST_F(DesktopRoundTripTest, AnAssociationTheDesktopDidNotTakeIsNotRecordedAndTheUserIsTold)
{
    const QByteArray damaged = "[Default Applications\nfont/ttf=typeviewer.desktop\n";
    PrivateDesktop::write(desktop.userList(), damaged);
    saveOptions(true, false, [](Options& dialog) {
        EXPECT_TRUE(dialog.fOption[0]->isChecked()); // what the user chose stays, to be saved again
        EXPECT_TRUE(dialog.saveButton->isEnabled());
    });
    EXPECT_EQ(PrivateDesktop::read(desktop.userList()), damaged);
    EXPECT_EQ(setting("DefaultViewer"), "<absent>");
    EXPECT_EQ(setting("ShowSplash"), "1"); // the option that needs no desktop change is saved
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(Options::kAssociationFailedText));
    EXPECT_TRUE(notices[0].contains("is not understood")) << notices[0].toStdString();

    auto* dialog = new Options(QRect(0, 0, 800, 600), settings, routines, module, {});
    EXPECT_FALSE(dialog->fOption[0]->isChecked());
    delete dialog;
}

TEST_F(DesktopRoundTripTest, SettingsThatCannotBeWrittenChangeNothingAndTheUserIsToldWhy)
{
    const QString settingsDisk = settingsFolder.filePath("Quillon");
    QDir().mkpath(settingsDisk);
    test::FullDisk disk(settingsDisk);
    settings.SaveSetting("Quillon", "Settings", "ShowSplash", "1");
    const QByteArray settingsBefore = PrivateDesktop::read(settings.fileFor("Quillon")).value_or("");
    const QByteArray listBefore = PrivateDesktop::read(desktop.userList()).value_or("");
    disk.fill();
    saveOptions(true, true, [](Options& dialog) {
        EXPECT_TRUE(dialog.fOption[0]->isChecked() && dialog.fOption[1]->isChecked());
        EXPECT_TRUE(dialog.saveButton->isEnabled());
    });
    disk.release();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(Options::kSettingsFailedText)) << notices[0].toStdString();
    if (disk.isTmpfs()) {
        EXPECT_TRUE(notices[0].contains("the disk is full")) << notices[0].toStdString();
    }
    EXPECT_EQ(PrivateDesktop::read(settings.fileFor("Quillon")).value_or(""), settingsBefore);
    EXPECT_EQ(PrivateDesktop::read(desktop.userList()).value_or(""), listBefore);
}

TEST_F(DesktopRoundTripTest, ASaveCutShortIsFinishedAtTheNextStart)
{
    // Killed after the change was written down and the desktop's list written, before the settings: the
    // desktop says one thing, the options another, until the next start finishes the change.
    settings.SaveSetting("Quillon", "Settings", OptionsChange::kUnderWay, "101");
    ASSERT_EQ(associations.setCommand("ttf", Verb::Open, quillon + " %1"), ERROR_SUCCESS);
    FileAssociations files(routines, settings, module);
    EXPECT_TRUE(OptionsChange(files, routines, settings).finishInterrupted());
    EXPECT_EQ(setting("DefaultViewer"), "1");
    EXPECT_EQ(setting("DefaultPrinter"), "0");
    EXPECT_EQ(setting(OptionsChange::kUnderWay), "");
    for (const QString& kind : kKinds)
        EXPECT_EQ(associations.command(kind, Verb::Open), quillon + " %1") << kind.toStdString();
    EXPECT_FALSE(OptionsChange(files, routines, settings).finishInterrupted()); // nothing more to finish
}

} // namespace
