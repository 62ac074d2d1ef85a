// Building the catalogue from hand-made font lists in an in-memory registry.
#include "catalogue/FontListLoader.h"
#include "catalogue/CommandLineSelection.h"
#include "catalogue/MemoryFaceList.h"
#include "platform/MemoryRegistry.h"
#include "platform/NativeText.h"
#include "platform/SystemInfo.h"
#include "shell/Main.h"
#include "support/CountingView.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using namespace platform;

const std::string kNt = kNtFontsKey.toStdString();
const std::string kOther = kWindowsFontsKey.toStdString();
const std::string kDisplay = kDisplayFontsKey.toStdString();

class FakeSystem final : public SystemInfo {
public:
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    bool fails = false;
    bool GetVersionExA(OSVERSIONINFOA& info) override
    {
        if (fails || info.dwOSVersionInfoSize != sizeof info) return false;
        info.dwPlatformId = platformId;
        return true;
    }
};

using test::CountingView;

QStringList describe(const FontCatalogue& catalogue)
{
    QStringList lines;
    for (const FontRecord& r : catalogue.records)
        lines << r.face + '|' + r.file + '|' + (r.bold ? 'B' : '-') + (r.italic ? 'I' : '-') + '|' + r.sizes;
    return lines;
}

class FontListLoaderTest : public ::testing::Test {
protected:
    void value(HKEY root, const std::string& path, const std::string& name, const std::string& data,
               DWORD type = REG_SZ)
    {
        HKEY key = 0;
        ASSERT_EQ(registry.RegCreateKeyEx(root, path, 0, KEY_ALL_ACCESS, key, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(registry.RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(data.data()),
                                         static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        registry.RegCloseKey(key);
    }
    /// A font entry as Windows stores it: the file name with its terminator.
    void font(const std::string& name, const std::string& file)
    {
        value(HKEY_LOCAL_MACHINE, kNt, name, file + '\0');
    }

    void load() { FontListLoader(registry, system, catalogue).LoadFontList(fontList); }

    MemoryRegistry registry;
    FakeSystem system;
    FontCatalogue catalogue;
    MemoryFaceList fontList;
};

TEST_F(FontListLoaderTest, FamiliesRasterSizesAndCollectionsAsWindowsListsThem)
{
    font("Arial (TrueType)", "ARIAL.TTF");
    font("Arial Bold (TrueType)", "ARIALBD.TTF");
    font("Arial Italic (TrueType)", "ARIALI.TTF");
    font("Arial Bold Italic (TrueType)", "ARIALBI.TTF");
    font("MS Sans Serif 8,10,12,14,18,24 (VGA res)", "SSERIFE.FON");
    font("Courier 10,12,15", "COURE.FON");
    font("MS Gothic & MS PGothic & MS UI Gothic (TrueType)", "MSGOTHIC.TTC");
    load();

    EXPECT_EQ(catalogue.fontNames, (QStringList{"Arial", "Courier", "MS Gothic", "MS Sans Serif"}));
    EXPECT_EQ(catalogue.fontCount(), 4);
    EXPECT_EQ(describe(catalogue), (QStringList{
                                       "arial|arial.ttf|--|",
                                       "arial|arialbd.ttf|B-|",
                                       "arial|ariali.ttf|-I|",
                                       "arial|arialbi.ttf|BI|",
                                       "ms sans serif|sserife.fon|--|8,10,12,14,18,24",
                                       "courier|coure.fon|--|10,12,15",
                                       "ms gothic|msgothic.ttc|--|",
                                   }));
    EXPECT_EQ(fontList.items(), catalogue.fontNames);
    EXPECT_EQ(fontList.listIndex(), 3); // the last entry stays selected
    EXPECT_EQ(catalogue.firstRecordOfFace("ARIAL"), 0);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(FontListLoaderTest, AFileListedTwiceKeepsItsFirstRecordAndBothNames)
{
    font("MS Mincho (TrueType)", "MSMINCHO.TTC");
    font("MS PMincho (TrueType)", "msmincho.ttc"); // the same file once lower-cased
    font("Symbol Set", "MSMINCHO.TTC");
    load();

    EXPECT_EQ(catalogue.fontNames, (QStringList{"MS Mincho", "MS PMincho", "Symbol Set"}));
    EXPECT_EQ(describe(catalogue), QStringList{"ms mincho|msmincho.ttc|--|"});
}

TEST_F(FontListLoaderTest, RepeatedNamesShrinkToOneButCaseVariantsStay)
{
    font("Verdana (TrueType)", "a.ttf");
    font("Verdana Bold (TrueType)", "b.ttf");
    font("VERDANA Italic (TrueType)", "c.ttf");
    font("verdana Normal", "d.fon");
    font("Tahoma (TrueType)", "e.ttf");
    load();

    // Sorted ignoring case with equal names in the order added, then only exact repeats removed.
    EXPECT_EQ(catalogue.fontNames, (QStringList{"Tahoma", "Verdana", "VERDANA", "verdana"}));
    EXPECT_EQ(catalogue.recordCount(), 5);
}

TEST_F(FontListLoaderTest, ANameThatDoesNotFitTheBufferEndsTheList)
{
    font("Before (TrueType)", "before.ttf");
    font(std::string(kFontNameBuffer - 1, 'L'), "longest.fon"); // fits with its terminator
    font(std::string(kFontNameBuffer, 'M'), "toolong.fon");
    font("After (TrueType)", "after.ttf");
    load();

    ASSERT_EQ(catalogue.fontCount(), 2);
    EXPECT_EQ(catalogue.fontNames[0], "Before");
    EXPECT_EQ(catalogue.fontNames[1].size(), kFontNameBuffer - 1);
    EXPECT_EQ(catalogue.recordCount(), 2);
}

TEST_F(FontListLoaderTest, AFailedOrEmptyLookUpListsTheFaceWithoutARecord)
{
    font("Broken \xff (TrueType)", "broken.ttf"); // not UTF-8: the name read back finds no value
    font("Second Broken \xfe (TrueType)", "second.ttf");
    value(HKEY_LOCAL_MACHINE, kNt, "Binary (TrueType)", "bin.ttf", REG_BINARY);
    value(HKEY_LOCAL_MACHINE, kNt, "Terminator Only (TrueType)", std::string(1, '\0'));
    value(HKEY_LOCAL_MACHINE, kNt, "Nothing Stored (TrueType)", std::string());
    font("Good (TrueType)", "GOOD.TTF");
    load();

    EXPECT_EQ(catalogue.fontCount(), 6);
    EXPECT_TRUE(catalogue.fontNames.contains("Binary"));
    EXPECT_TRUE(catalogue.fontNames.contains("Second Broken \uFFFD"));
    EXPECT_EQ(describe(catalogue), QStringList{"good|good.ttf|--|"});
}

TEST_F(FontListLoaderTest, AFileNameThatIsNotUtf8IsMatchedByItsBytes)
{
    font("Bad One (TrueType)", "BAD\xff\xfe.TTF");
    font("Bad Two (TrueType)", "bad\xfe\xff.ttf");
    load();
    struct Target : CommandLineTarget {
        int face = -1;
        bool message = false;
        void selectFace(int index) override { face = index; }
        void setEffect(int, int) override {}
        void setPrintPending(bool) override {}
        void showNotRegistered() override { message = true; }
    } target;
    const char* argv[] = {"quillon", "/p", "/home/me/Bad\xff\xfe.ttf"};
    QString commandLine = commandLineFrom(argumentsFrom(3, argv));
    SelectCommandLineFont(commandLine, catalogue, target);
    EXPECT_EQ(nativeBytes(commandLine), QByteArray("bad\xff\xfe.ttf"));
    EXPECT_FALSE(target.message);
    EXPECT_EQ(catalogue.fontNames.value(target.face), "Bad One");
}

TEST_F(FontListLoaderTest, AValueStoredWithoutTerminatorLosesItsLastCharacter)
{
    value(HKEY_LOCAL_MACHINE, kNt, "Written By Hand (TrueType)", "HAND.TTF");
    load();
    EXPECT_EQ(describe(catalogue), QStringList{"written by hand|hand.tt|--|"});
}

TEST_F(FontListLoaderTest, TheNtFamilyReadsOnlyItsOwnKey)
{
    font("Nt Face (TrueType)", "nt.ttf");
    value(HKEY_LOCAL_MACHINE, kOther, "Other Face (TrueType)", std::string("other.ttf") + '\0');
    value(HKEY_CURRENT_CONFIG, kDisplay, "Display Face 8,10", std::string("display.fon") + '\0');
    load();

    EXPECT_EQ(catalogue.fontNames, QStringList{"Nt Face"});
    EXPECT_EQ(describe(catalogue), QStringList{"nt face|nt.ttf|--|"});
}

TEST_F(FontListLoaderTest, OtherWindowsReadsItsKeyThenTheDisplayFonts)
{
    system.platformId = VER_PLATFORM_WIN32_WINDOWS;
    font("Nt Face (TrueType)", "nt.ttf");
    value(HKEY_LOCAL_MACHINE, kOther, "Other Face (TrueType)", std::string("OTHER.TTF") + '\0');
    value(HKEY_CURRENT_CONFIG, kDisplay, "Fixedsys 9,12", std::string("vgafix.fon") + '\0');
    value(HKEY_CURRENT_CONFIG, kDisplay, "Other Face Again", std::string("other.ttf") + '\0');
    load();

    EXPECT_EQ(catalogue.fontNames, (QStringList{"Fixedsys", "Other Face", "Other Face Again"}));
    // Both passes share the records, and the one-record-per-file test runs across them.
    EXPECT_EQ(describe(catalogue), (QStringList{"other face|other.ttf|--|", "fixedsys|vgafix.fon|--|9,12"}));

    // A version query that fails reads as not NT.
    FontCatalogue again;
    MemoryFaceList list;
    system.platformId = VER_PLATFORM_WIN32_NT;
    system.fails = true;
    FontListLoader loader(registry, system, again);
    EXPECT_FALSE(loader.IsWindowsNT());
    loader.LoadFontList(list);
    EXPECT_EQ(again.recordCount(), 2);
}

TEST_F(FontListLoaderTest, MissingKeysGiveAnEmptyCatalogue)
{
    load();
    EXPECT_EQ(catalogue.fontCount(), 0);
    EXPECT_EQ(catalogue.recordCount(), 0);
    EXPECT_EQ(fontList.listIndex(), -1);
}

TEST_F(FontListLoaderTest, LoadingAgainStartsTheRecordsAfresh)
{
    font("Arial (TrueType)", "arial.ttf");
    FontListLoader loader(registry, system, catalogue);
    loader.LoadFontList(fontList);
    MemoryFaceList second;
    loader.LoadFontList(second);
    EXPECT_EQ(catalogue.recordCount(), 1);
    EXPECT_EQ(catalogue.fontNames, QStringList{"Arial"});

    // Records added one by one still keep one per file, also against records already there.
    loader.AddFontRecord("Arial (TrueType)", "arial", false, false, {});
    loader.AddFontRecord("Missing (TrueType)", "missing", false, false, {});
    EXPECT_EQ(catalogue.recordCount(), 1);
}

TEST_F(FontListLoaderTest, TensOfThousandsOfFontsReadTheKeyOnlyOnce)
{
    std::vector<RegistryValue> values;
    constexpr int kFonts = 40000; // past the 32,767 a 16-bit count holds
    for (int i = kFonts - 1; i >= 0; --i) {
        char name[32], file[32];
        std::snprintf(name, sizeof name, "Face %05d (TrueType)", i);
        std::snprintf(file, sizeof file, "f%05d.ttf", i);
        values.push_back({name, REG_SZ, std::string(file) + '\0'});
    }
    auto view = std::make_unique<CountingView>(std::move(values));
    CountingView& counting = *view;
    registry.mount(HKEY_LOCAL_MACHINE, kNt, std::move(view));
    load();

    ASSERT_EQ(catalogue.fontCount(), kFonts);
    ASSERT_EQ(catalogue.recordCount(), kFonts);
    EXPECT_EQ(catalogue.fontNames.front(), "Face 00000");
    EXPECT_EQ(catalogue.fontNames.back(), "Face 39999");
    EXPECT_EQ(catalogue.records.front().file, "f39999.ttf");
    EXPECT_LE(counting.calls, 2); // not once per font: the build stays linear
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

} // namespace
} // namespace quillon
