// Saving, setting and restoring the shell associations over a registry held in memory.
#include "OptionsTestSupport.h"

#include "base/FontModule.h"
#include "options/FileAssociations.h"
#include "platform/linux/settings/IniSettingsStore.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;
using quillon::testing::MemorySettings;
using quillon::testing::RecordingRegistry;

namespace {

const std::string kFonOpen = "fonfile\\shell\\open\\command";
const std::string kFonPrint = "fonfile\\shell\\print\\command";
const char* const kKinds[] = {"fon", "otf", "pfm", "ttc", "ttf"};

FontModule moduleFor(const QString& program)
{
    FontModule module;
    module.fontExtensions = {"fon", "otf", "pfm", "ttc", "ttf", ""};
    module.exeShortPath = program;
    module.viewCommand = program + " %1";
    module.printCommand = program + " /p %1";
    return module;
}

// The ten keys of a verb, in the order they must be written: per kind, the merged root, then the machine's.
QStringList tenKeys(const QString& verb)
{
    QStringList keys;
    for (const char* kind : kKinds) {
        const QString key = QString(kind) + "file\\shell\\" + verb + "\\command";
        keys << "HKCR " + key << "HKLM software\\classes\\" + key;
    }
    return keys;
}

struct FileAssociationsTest : ::testing::Test {
    RecordingRegistry registry;
    RegistryModule routines{registry};
    MemorySettings settings;
    FontModule module = moduleFor("/opt/quillon/bin/quillon");
    FileAssociations associations{routines, settings, module};

    std::optional<std::string> classRoot(const char* kind, const std::string& verb)
    {
        return registry.read(HKEY_CLASSES_ROOT, std::string(kind) + "file\\shell\\" + verb + "\\command");
    }
    std::optional<std::string> machine(const char* kind, const std::string& verb)
    {
        return registry.read(HKEY_LOCAL_MACHINE, "software\\classes\\" + std::string(kind) + "file\\shell\\" +
                                                     verb + "\\command");
    }
    void expectAllTen(const std::string& verb, const std::optional<std::string>& command)
    {
        for (const char* kind : kKinds) {
            EXPECT_EQ(classRoot(kind, verb), command) << kind;
            EXPECT_EQ(machine(kind, verb), command) << kind;
        }
    }
};

TEST_F(FileAssociationsTest, CheckedViewerRemembersTheFonCommandOnceAndWritesTheTenKeysInOrder)
{
    registry.storeForeign(HKEY_CLASSES_ROOT, kFonOpen, "fontview.exe %1");

    associations.SaveAssociation("V");
    associations.SetAssociation("V");
    EXPECT_EQ(settings.get("PriorViewAssociation"), QString("fontview.exe %1") + QChar(0));
    expectAllTen("open", module.viewCommand.toStdString());
    EXPECT_EQ(registry.written, tenKeys("open"));
    EXPECT_EQ(registry.created, tenKeys("open")); // every key is made sure of before its write

    // Saving again while the program holds the association must not remember its own command.
    associations.SaveAssociation("V");
    associations.SetAssociation("V");
    EXPECT_EQ(settings.get("PriorViewAssociation"), QString("fontview.exe %1") + QChar(0));
    EXPECT_EQ(settings.get("PriorPrintAssociation"), "<absent>");
    EXPECT_EQ(registry.inner.openHandleCount(), 0u);
}

TEST_F(FileAssociationsTest, RestoreWritesTheRememberedCommandBackOnceAndForgetsIt)
{
    registry.storeForeign(HKEY_CLASSES_ROOT, kFonOpen, "fontview.exe %1");
    associations.SaveAssociation("V");
    associations.SetAssociation("V");
    registry.written.clear();

    associations.RestoreAssociation("V");
    expectAllTen("open", std::string("fontview.exe %1") + '\0');
    EXPECT_EQ(registry.written, tenKeys("open"));
    EXPECT_EQ(settings.get("PriorViewAssociation"), "");

    registry.written.clear();
    associations.RestoreAssociation("V");
    EXPECT_TRUE(registry.written.isEmpty());
}

TEST_F(FileAssociationsTest, WithoutAFonCommandNothingIsRememberedAndUncheckingTakesTheProgramOut)
{
    associations.SaveAssociation("P");
    EXPECT_EQ(settings.get("PriorPrintAssociation"), "<absent>");
    EXPECT_TRUE(associations.SetAssociation("P"));
    expectAllTen("print", module.printCommand.toStdString());
    expectAllTen("open", std::nullopt);

    // Another program took one kind since: its command stays.
    registry.storeForeign(HKEY_CLASSES_ROOT, "ttffile\\shell\\print\\command", "other.exe /p %1");
    EXPECT_TRUE(associations.RestoreAssociation("P"));
    EXPECT_EQ(registry.deleted.size(), 9);
    EXPECT_EQ(classRoot("ttf", "print"), std::string("other.exe /p %1") + '\0');
    EXPECT_EQ(machine("otf", "print"), std::nullopt);
    EXPECT_EQ(classRoot("fon", "print"), std::nullopt);
    EXPECT_EQ(registry.written.size(), 10); // only the set wrote anything
}

TEST_F(FileAssociationsTest, AnEarlierRememberedCommandSurvivesAnEmptyOrMissingValue)
{
    settings.set("PriorViewAssociation", "old.exe %1");
    associations.SaveAssociation("V"); // no fon key at all
    registry.storeForeign(HKEY_CLASSES_ROOT, kFonOpen, "");
    HKEY key = 0;
    registry.inner.RegOpenKeyEx(HKEY_CLASSES_ROOT, kFonOpen, 0, KEY_ALL_ACCESS, key);
    registry.inner.RegSetValueEx(key, "", REG_SZ, nullptr, 0);
    registry.inner.RegCloseKey(key);
    associations.SaveAssociation("V"); // an empty value
    EXPECT_EQ(settings.get("PriorViewAssociation"), "old.exe %1");
}

TEST_F(FileAssociationsTest, OtherVerbLettersDoNothing)
{
    registry.storeForeign(HKEY_CLASSES_ROOT, kFonOpen, "fontview.exe %1");
    settings.set("PriorViewAssociation", "old.exe %1");
    const int saves = settings.saves;
    for (const char* verb : {"v", "p", "X", "", "VP"}) {
        associations.SaveAssociation(verb);
        associations.SetAssociation(verb);
        associations.RestoreAssociation(verb);
    }
    EXPECT_TRUE(registry.written.isEmpty());
    EXPECT_TRUE(registry.created.isEmpty());
    EXPECT_EQ(settings.saves, saves);
}

TEST_F(FileAssociationsTest, ACommandWithoutAProgramIsNeverWrittenNorRemembered)
{
    // An executable path that came out empty would make the shell run the font file itself.
    const FontModule broken = moduleFor("");
    FileAssociations withoutProgram{routines, settings, broken};
    withoutProgram.SetAssociation("V");
    withoutProgram.SetAssociation("P");
    EXPECT_TRUE(registry.written.isEmpty());

    registry.storeForeign(HKEY_CLASSES_ROOT, kFonPrint, " %1");
    associations.SaveAssociation("P");
    EXPECT_EQ(settings.get("PriorPrintAssociation"), "<absent>");

    // A remembered command edited into nothing is dropped rather than written.
    settings.set("PriorViewAssociation", "\"\" %1");
    EXPECT_TRUE(associations.RestoreAssociation("V"));
    EXPECT_TRUE(registry.written.isEmpty());
    EXPECT_EQ(settings.get("PriorViewAssociation"), "");
}

TEST_F(FileAssociationsTest, TheRememberedTerminatorSurvivesTheSettingsFile)
{
    // The prior command goes through the INI file between runs; its terminator must come back, or the
    // restored command would differ from the one that was replaced.
    QTemporaryDir folder;
    IniSettingsStore ini(folder.path());
    FileAssociations stored{routines, ini, module};
    registry.storeForeign(HKEY_CLASSES_ROOT, kFonOpen, "\"C:\\Program Files\\View\\fv.exe\" \"%1\"");
    stored.SaveAssociation("V");
    stored.SetAssociation("V");

    IniSettingsStore reopened(folder.path());
    FileAssociations later{routines, reopened, module};
    later.RestoreAssociation("V");
    expectAllTen("open", std::string("\"C:\\Program Files\\View\\fv.exe\" \"%1\"") + '\0');
}

} // namespace
