// The fonts key as the test fontconfig presents it: outline fonts of both kinds, a collection, PCF and .fon
// bitmap fonts. What the catalogue builds from it follows.
#include "platform/linux/registry/FontsKeyView.h"
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "platform/FontFileLookup.h"
#include "platform/MemoryRegistry.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/registry/InstalledFontFiles.h"
#include "support/QtPrint.h"

#include <QDir>
#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

const std::string kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

QString testFonts() { return qEnvironmentVariable("QUILLON_TEST_FONTS"); }

class FontsKeyViewTest : public ::testing::Test {
protected:
    FontsKeyViewTest()
    {
        registry.mount(HKEY_LOCAL_MACHINE, kFontsKey, std::make_unique<FontsKeyView>(fonts));
    }

    std::vector<std::pair<std::string, std::string>> enumerate(DWORD access = KEY_READ)
    {
        std::vector<std::pair<std::string, std::string>> values;
        HKEY key = 0;
        EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFontsKey, 0, access, key), ERROR_SUCCESS);
        for (DWORD i = 0;; ++i) {
            char name[2000];
            unsigned char data[2000];
            DWORD length = sizeof name, size = sizeof data, type = 0;
            if (registry.RegEnumValue(key, i, name, length, &type, data, &size) != ERROR_SUCCESS) break;
            EXPECT_EQ(type, REG_SZ);
            values.emplace_back(std::string(name, length), std::string(reinterpret_cast<char*>(data), size));
        }
        registry.RegCloseKey(key);
        return values;
    }

    InstalledFontFiles fonts;
    MemoryRegistry registry;
};

std::string z(const char* file) { return std::string(file) + '\0'; }

TEST_F(FontsKeyViewTest, OneValuePerFileNamedAsWindowsNamesIt)
{
    using V = std::pair<std::string, std::string>;
    const std::vector<V> expected{
        {"Fixed 8,10,15 (10x20-ISO8859-1)", z("10x20-ISO8859-1.pcf.gz")},
        {"Fixed 8,10,15 (6x10-ISO8859-1)", z("6x10-ISO8859-1.pcf.gz")},
        {"Fixed 10 (6x13-ISO8859-1)", z("6x13-ISO8859-1.pcf.gz")},
        {"Fixed 8,10,15 (7x13-ISO8859-1)", z("7x13-ISO8859-1.pcf.gz")},
        {"Cantarell Bold (OpenType)", z("Cantarell-Bold.otf")},
        {"Cantarell Regular (OpenType)", z("Cantarell-Regular.otf")},
        {"DejaVu Sans Bold (TrueType)", z("DejaVuSans-Bold.ttf")},
        {"DejaVu Sans (TrueType)", z("DejaVuSans.ttf")},
        {"DejaVu Sans Mono Bold (TrueType)", z("DejaVuSansMono-Bold.ttf")},
        {"DejaVu Sans Mono (TrueType)", z("DejaVuSansMono.ttf")},
        {"DejaVu Serif Bold (TrueType)", z("DejaVuSerif-Bold.ttf")},
        {"DejaVu Serif (TrueType)", z("DejaVuSerif.ttf")},
        {"Liberation Mono Bold (TrueType)", z("LiberationMono-Bold.ttf")},
        {"Liberation Mono (TrueType)", z("LiberationMono-Regular.ttf")},
        {"Liberation Sans Bold (TrueType)", z("LiberationSans-Bold.ttf")},
        {"Liberation Sans Bold Italic (TrueType)", z("LiberationSans-BoldItalic.ttf")},
        {"Liberation Sans Italic (TrueType)", z("LiberationSans-Italic.ttf")},
        {"Liberation Sans (TrueType)", z("LiberationSans-Regular.ttf")},
        {"Liberation Serif (TrueType)", z("LiberationSerif-Regular.ttf")},
        {"Courier 10 (VGA res)", z("coure.fon")},
        {"MS Sans Serif 8,10,12 (VGA res)", z("sserife.fon")},
        // The second face's English full name comes from the file: fontconfig lists its name ID 18 first.
        {"WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)", z("wqy-microhei.ttc")},
    };
    EXPECT_EQ(enumerate(), expected);
    EXPECT_EQ(enumerate(), expected); // every open sees the same values
}

TEST_F(FontsKeyViewTest, TheKeyIsReadOnly)
{
    HKEY key = 0;
    EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_ALL_ACCESS, key),
              ERROR_ACCESS_DENIED);
    ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_READ, key), ERROR_SUCCESS);
    const unsigned char data[] = "x.ttf";
    EXPECT_EQ(registry.RegSetValueEx(key, "Injected (TrueType)", REG_SZ, data, sizeof data),
              ERROR_ACCESS_DENIED);
    registry.RegCloseKey(key);
    EXPECT_EQ(enumerate().size(), 22u);
}

TEST_F(FontsKeyViewTest, TheLookupFindsListedFilesByNameIgnoringCase)
{
    const QString dir = testFonts();
    EXPECT_EQ(fonts.fontFilePath("dejavusans.ttf"), QDir(dir).filePath("DejaVuSans.ttf"));
    EXPECT_EQ(fonts.fontFilePath("WQY-MICROHEI.TTC"), QDir(dir).filePath("wqy-microhei.ttc"));
    EXPECT_EQ(fonts.fontFilePath("6x13-iso8859-1.pcf.gz"), QDir(dir).filePath("6x13-ISO8859-1.pcf.gz"));
    EXPECT_EQ(fonts.fontFilePath("missing.ttf"), QString());
    EXPECT_EQ(fonts.fontFilePath(""), QString());
    EXPECT_EQ(fonts.fontFilePath("fonts/dejavusans.ttf"), QString());
}

TEST_F(FontsKeyViewTest, TheCatalogueBuiltFromIt)
{
    LinuxSystemInfo system;
    FontCatalogue catalogue;
    MemoryFaceList fontList;
    FontListLoader(registry, system, catalogue).LoadFontList(fontList);

    EXPECT_EQ(catalogue.fontNames,
              (QStringList{"Cantarell", "Cantarell Regular", "Courier 10", "DejaVu Sans", "DejaVu Sans Mono",
                           "DejaVu Serif", "Fixed", "Fixed 10", "Liberation Mono", "Liberation Sans",
                           "Liberation Serif", "MS Sans Serif", "WenQuanYi Micro Hei"}));
    ASSERT_EQ(catalogue.recordCount(), 22);
    const auto record = [&](const char* face) {
        return catalogue.records.at(catalogue.firstRecordOfFace(face));
    };
    EXPECT_EQ(record("Fixed").file, "10x20-iso8859-1.pcf.gz");
    EXPECT_EQ(record("Fixed").sizes, "8,10,15");
    EXPECT_EQ(record("MS Sans Serif").sizes, "8,10,12");
    EXPECT_EQ(record("WenQuanYi Micro Hei").file, "wqy-microhei.ttc");
    QStringList styles; // the family of four: one record per bold/italic combination
    for (const FontRecord& r : catalogue.records)
        if (r.face == "liberation sans") styles << QString("%1%2").arg(int(r.bold)).arg(int(r.italic));
    styles.sort();
    EXPECT_EQ(styles, (QStringList{"00", "01", "10", "11"}));
    // Every record's file is one the lookup finds.
    for (const FontRecord& r : catalogue.records)
        EXPECT_FALSE(fonts.fontFilePath(r.file).isEmpty()) << r.file.toStdString();
}

TEST(LinuxPlatform, MountsTheFontsKeyAndAnswersTheVersionQueryAsNt)
{
    LinuxPlatform machine;
    Platform& platform = machine.platform();
    HKEY key = 0;
    ASSERT_EQ(platform.registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_READ, key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(platform.registry.RegQueryValueEx(key, "dejavu sans (truetype)", &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof "DejaVuSans.ttf");
    platform.registry.RegCloseKey(key);
    EXPECT_EQ(platform.fontFiles.fontFilePath("DejaVuSans.ttf"),
              QDir(testFonts()).filePath("DejaVuSans.ttf"));

    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_TRUE(platform.systemInfo.GetVersionExA(info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    OSVERSIONINFOA wrongSize;
    wrongSize.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(platform.systemInfo.GetVersionExA(wrongSize));
    EXPECT_EQ(wrongSize.dwPlatformId, 0u);
}

} // namespace
} // namespace quillon::platform
