// The two texts the fonts key reads from font files themselves: a .fon file's description and an sfnt
// face's Windows English full name. Both read untrusted bytes, so damaged files are part of the cases.
#include "platform/linux/registry/FonDescription.h"
#include "platform/linux/registry/SfntFullName.h"
#include "support/SfntWriter.h"

#include <QDir>
#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

using test::SfntName;
using test::SfntWriter;

void put16(std::string& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

void put32(std::string& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

/// An NE module whose non-resident name table starts with the description.
std::string fonFile(const std::string& description)
{
    constexpr std::size_t ne = 0x80, table = 0xC0;
    std::string b(table + 1 + description.size() + 3, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, ne);
    b[ne] = 'N';
    b[ne + 1] = 'E';
    put16(b, ne + 0x20, static_cast<std::uint32_t>(description.size() + 4));
    put32(b, ne + 0x2C, table);
    b[table] = static_cast<char>(description.size());
    b.replace(table + 1, description.size(), description);
    return b;
}

TEST(FonDescription, TheTextAfterTheColon)
{
    EXPECT_EQ(fonDescriptionFromBytes(fonFile("FONTRES 100,96,96 : Courier 10,12,15")), "Courier 10,12,15");
    EXPECT_EQ(fonDescriptionFromBytes(fonFile("FONTRES 100,96,96 :  Spaced  ")), "Spaced");
    EXPECT_EQ(fonDescriptionFromBytes(fonFile("FONTRES : Caf\xE9 Roman")),
              "Caf\xC3\xA9 Roman"); // Latin-1 to UTF-8
    EXPECT_EQ(fonDescriptionFromBytes(fonFile("No colon here")), "");
    EXPECT_EQ(fonDescriptionFromBytes(fonFile("FONTRES : Tab\there")), "");
}

TEST(FonDescription, DamagedFilesGiveNothing)
{
    const std::string good = fonFile("FONTRES 100,96,96 : Courier 10,12,15");
    std::string notMz = good;
    notMz[0] = 'X';
    std::string farHeader = good;
    put32(farHeader, 0x3C, 0xFFFFFFF0u);
    std::string farTable = good;
    put32(farTable, 0x80 + 0x2C, static_cast<std::uint32_t>(good.size()));
    std::string longText = good;
    longText[0xC0] = static_cast<char>(0xFF); // runs past the end of the file
    for (const std::string& bad : {notMz, farHeader, farTable, longText, good.substr(0, 0xC5), std::string()})
        EXPECT_EQ(fonDescriptionFromBytes(bad), "");
    EXPECT_EQ(fonDescription("/nonexistent/file.fon"), "");
}

QByteArray utf16(const char16_t* text) { return SfntWriter::utf16(QString::fromUtf16(text)); }

std::string sfnt(const std::vector<SfntName>& names)
{
    return SfntWriter().add("name", SfntWriter::name(names)).build().toStdString();
}

TEST(SfntFullName, WindowsEnglishNameIdFourUsEnglishFirst)
{
    EXPECT_EQ(windowsEnglishFullNameFromBytes(sfnt({{3, 1, 0x0809, 4, utf16(u"British")},
                                                    {3, 1, 0x0411, 4, utf16(u"日本語")},
                                                    {3, 1, 0x0409, 18, utf16(u"Compatible")},
                                                    {3, 1, 0x0409, 4, utf16(u"Full Ω \U0001D400")}}),
                                              0),
              "Full \xCE\xA9 \xF0\x9D\x90\x80");
    EXPECT_EQ(windowsEnglishFullNameFromBytes(sfnt({{3, 1, 0x0809, 4, utf16(u"British")}}), 0), "British");
    EXPECT_EQ(windowsEnglishFullNameFromBytes(
                  sfnt({{1, 0, 0, 4, "Mac Only"}, {3, 1, 0x0411, 4, utf16(u"日本")}}), 0),
              "");
}

TEST(SfntFullName, CollectionsAndDamagedFiles)
{
    SfntWriter first, second;
    first.add("name", SfntWriter::name({{3, 1, 0x0409, 4, utf16(u"First")}}));
    second.add("name", SfntWriter::name({{3, 1, 0x0409, 4, utf16(u"Second")}}));
    const std::string ttc = SfntWriter::collection({first, second}).toStdString();
    EXPECT_EQ(windowsEnglishFullNameFromBytes(ttc, 1), "Second");
    EXPECT_EQ(windowsEnglishFullNameFromBytes(ttc, 2), "");
    EXPECT_EQ(windowsEnglishFullNameFromBytes(ttc, -1), "");

    const std::string font = sfnt({{3, 1, 0x0409, 4, utf16(u"Whole")}});
    for (std::size_t cut = 0; cut < font.size(); cut += 7) // every truncation fails cleanly
        EXPECT_EQ(windowsEnglishFullNameFromBytes(font.substr(0, cut), 0), "") << cut;
    std::string wrongMagic = font;
    wrongMagic[0] = 'X';
    EXPECT_EQ(windowsEnglishFullNameFromBytes(wrongMagic, 0), "");
    EXPECT_EQ(windowsEnglishFullName("/nonexistent/font.ttf", 0), "");
}

TEST(SfntFullName, ReadsTheSecondFaceOfAnInstalledCollection)
{
    const QString path = QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).filePath("wqy-microhei.ttc");
    EXPECT_EQ(windowsEnglishFullName(path.toStdString(), 0), "WenQuanYi Micro Hei");
    EXPECT_EQ(windowsEnglishFullName(path.toStdString(), 1), "WenQuanYi Micro Hei Mono");
}

} // namespace
} // namespace quillon::platform
