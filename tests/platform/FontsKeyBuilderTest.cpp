// Naming the fonts key's values from fontconfig's faces, checked on hand-made faces.
#include "platform/linux/registry/FontsKeyBuilder.h"

#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

InstalledFace outline(std::string_view file, std::string_view fullName, int index = 0,
                      std::string_view format = "TrueType")
{
    InstalledFace face;
    face.file = file;
    face.fullName = fullName;
    face.index = index;
    face.format = format;
    return face;
}

InstalledFace bitmap(std::string_view file, std::string_view family, std::string_view style, double pixels,
                     std::string_view format = "PCF")
{
    InstalledFace face;
    face.file = file;
    face.family = family;
    face.style = style;
    face.pixelSize = pixels;
    face.format = format;
    return face;
}

std::vector<std::string> names(const std::vector<FontsKeyEntry>& entries)
{
    std::vector<std::string> out;
    for (const FontsKeyEntry& e : entries) out.push_back(e.name);
    return out;
}

using Names = std::vector<std::string>;

TEST(FontsKeyBuilder, OutlineFontsByFullNameWithTheirKind)
{
    const auto entries = buildFontsKey({
        outline("/f/b/Sans.ttf", "Sans"), outline("/f/a/Serif.otf", "Serif Bold", 0, "CFF"),
        outline("/f/a/bare.cff", "Bare CFF", 0, "CFF"),       // not in an sfnt: not listed
        outline("/f/a/Old.pfb", "Old Type One", 0, "Type 1"), // Type 1: not listed
        outline("/f/a/Noname.ttf", "", 0),                    // no full name: the family, else the file
    });
    EXPECT_EQ(names(entries), (Names{"Noname (TrueType)", "Serif Bold (OpenType)", "Sans (TrueType)"}));
    EXPECT_EQ(entries[1].file, "/f/a/Serif.otf");
}

TEST(FontsKeyBuilder, CollectionsJoinTheirFacesInFaceOrder)
{
    const auto entries = buildFontsKey({
        outline("/f/Gothic.ttc", "UI Gothic", 2),
        outline("/f/Gothic.ttc", "Gothic", 0),
        outline("/f/Gothic.ttc", "PGothic", 1),
    });
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Gothic & PGothic & UI Gothic (TrueType)");
}

TEST(FontsKeyBuilder, VariableFontsCountOnceAndNamedInstancesNotAtAll)
{
    const auto entries = buildFontsKey({
        outline("/f/Var.ttf", "Var Regular", 0),
        outline("/f/Var.ttf", "Var Regular", 0x8000 << 16), // the variable whole
        outline("/f/Var.ttf", "Var Bold", 2 << 16),         // a named instance
        outline("/f/Var.ttf", "Var Light", 3 << 16),
    });
    EXPECT_EQ(names(entries), Names{"Var Regular (TrueType)"});
}

TEST(FontsKeyBuilder, OrderIsFolderThenPathThenFace)
{
    auto first = outline("/home/u/.fonts/A.ttf", "User Font");
    first.dirRank = 1;
    auto second = outline("/usr/share/fonts/Z.ttf", "System Font");
    second.dirRank = 0;
    auto third = outline("/usr/share/fonts/B.ttf", "Another");
    third.dirRank = 0;
    EXPECT_EQ(names(buildFontsKey({first, second, third})),
              (Names{"Another (TrueType)", "System Font (TrueType)", "User Font (TrueType)"}));
}

TEST(FontsKeyBuilder, ARepeatedNameKeepsItsFirstFileIgnoringCase)
{
    const auto entries = buildFontsKey({
        outline("/f/2/dup.ttf", "Dup Sans"),
        outline("/f/1/dup.ttf", "DUP SANS"),
        outline("/f/3/other.ttf", "Dup Sans Bold"),
    });
    ASSERT_EQ(names(entries), (Names{"DUP SANS (TrueType)", "Dup Sans Bold (TrueType)"}));
    EXPECT_EQ(entries[0].file, "/f/1/dup.ttf");
}

TEST(FontsKeyBuilder, XBitmapsShareTheSizesOfTheirFamilyAndStyleInPoints)
{
    EXPECT_EQ(names(buildFontsKey({
                  bitmap("/x/10x20.pcf.gz", "Fixed", "Regular", 20), // 15 pt at 96 dpi
                  bitmap("/x/6x10.pcf.gz", "Fixed", "Regular", 10),  // 7.5 rounds to 8
                  bitmap("/x/6x13.pcf.gz", "Fixed", "SemiCondensed", 13),
                  bitmap("/x/7x13.pcf.gz", "Fixed", "Regular", 13),
                  bitmap("/x/8x13.pcf.gz", "Fixed", "Regular", 13), // same size once
                  bitmap("/x/crt.bdf", "", "Regular", 16, "BDF"),
              })),
              (Names{"Fixed 8,10,15 (10x20)", "Fixed 8,10,15 (6x10)", "Fixed 10 (6x13)",
                     "Fixed 8,10,15 (7x13)", "Fixed 8,10,15 (8x13)", "crt 12 (crt)"}));
    EXPECT_EQ(bitmapPointSize(13), 10);
    EXPECT_EQ(bitmapPointSize(0), 0);
    EXPECT_EQ(bitmapPointSize(-4), 0);
}

TEST(FontsKeyBuilder, WindowsFontFilesUseTheirDescriptionElseFamilyAndSizes)
{
    auto described = bitmap("/w/sserife.fon", "MS Sans Serif", "Regular", 11, "Windows FNT");
    described.description = "MS Sans Serif 8,10,12 (VGA res)";
    auto bare0 = bitmap("/w/plain.fon", "Plain", "Regular", 13, "Windows FNT");
    auto bare1 = bitmap("/w/plain.fon", "Plain", "Regular", 16, "Windows FNT");
    bare1.index = 1;
    EXPECT_EQ(names(buildFontsKey({described, bare1, bare0})),
              (Names{"Plain 10,12", "MS Sans Serif 8,10,12 (VGA res)"}));
}

TEST(FontsKeyBuilder, NamesStayBelowTheReadersBuffer)
{
    const std::string face(600, 'n');
    std::string accented;
    for (int i = 0; i < 700; ++i) accented += "\xC3\xA9"; // é: two bytes, never split
    const auto entries = buildFontsKey({
        outline("/f/many.ttc", face, 0),
        outline("/f/many.ttc", face, 1),
        outline("/f/many.ttc", face, 2),
        outline("/f/accent.ttf", accented),
    });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, face + " (TrueType)"); // later faces left out rather than cut
    EXPECT_LT(entries[0].name.size(), kMaxFontsKeyName);
    EXPECT_EQ(entries[0].name.substr(entries[0].name.size() - 11), " (TrueType)");
    EXPECT_EQ((entries[0].name.size() - 11) % 2, 0u);
}

} // namespace
} // namespace quillon::platform
