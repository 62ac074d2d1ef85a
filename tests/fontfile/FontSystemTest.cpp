// The Linux font system against the tests' own fontconfig: which names resolve and how they read back,
// the temporary addition of a file, the face a request gets, the traits read from a face's file, and the
// locale identifier.
#include "platform/linux/fonts/FontSystemLocale.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/freetype/FreeTypeFaceTraits.h"

#include "support/SfntWriter.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace quillon::platform;
using quillon::test::Os2Fields;
using quillon::test::SfntWriter;

namespace {

class FontSystemTest : public ::testing::Test {
protected:
    QString writeFont(const QString& family, const QString& file, const Os2Fields& os2 = {},
                      std::uint16_t kernPairs = 0, bool cff = false, bool fixed = false)
    {
        const QString path = dir.filePath(file);
        const QByteArray data = SfntWriter::minimalFont(
            SfntWriter::names(family, QStringLiteral("Regular"), family + QStringLiteral(" Regular")), os2,
            kernPairs, cff, 500, fixed);
        EXPECT_TRUE(SfntWriter::writeFile(path, data));
        return path;
    }
    std::optional<FaceTraits> traitsOf(const QString& path) { return readFaceTraits(path, 0); }

    QTemporaryDir dir;
    LinuxFontSystem fonts;
};

TEST_F(FontSystemTest, FamilyNamesResolveAsAskedOthersDoNot)
{
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("dejavu SANS mono")), QStringLiteral("dejavu SANS mono"));
    // A full name selects the face but reads back its family.
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("DejaVu Sans Bold")), QStringLiteral("DejaVu Sans"));
    // The collection's second face is known by its family too.
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("WenQuanYi Micro Hei Mono")),
              QStringLiteral("WenQuanYi Micro Hei Mono"));
    for (const QString& unknown : {QStringLiteral("No Such Face"), QString(), QStringLiteral(" ")})
        EXPECT_NE(fonts.stdFontName(unknown), unknown);
}

TEST_F(FontSystemTest, AddedFileIsKnownUntilRemoved)
{
    const QString path = writeFont(QStringLiteral("Quillon Probe"), QStringLiteral("probe.ttf"));
    EXPECT_NE(fonts.stdFontName(QStringLiteral("Quillon Probe")), QStringLiteral("Quillon Probe"));
    ASSERT_GE(fonts.AddFontResource(path), 1);
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("Quillon Probe")), QStringLiteral("Quillon Probe"));
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Quillon Probe")));
    const auto face = fonts.resolveFace(QStringLiteral("quillon probe"));
    ASSERT_TRUE(face);
    EXPECT_EQ(QFileInfo(face->file).fileName(), QStringLiteral("probe.ttf"));
    EXPECT_EQ(face->family, QStringLiteral("Quillon Probe"));

    // Two additions need two removals.
    ASSERT_GE(fonts.AddFontResource(path), 1);
    EXPECT_TRUE(fonts.RemoveFontResource(path));
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("Quillon Probe")), QStringLiteral("Quillon Probe"));
    EXPECT_TRUE(fonts.RemoveFontResource(path));
    EXPECT_NE(fonts.stdFontName(QStringLiteral("Quillon Probe")), QStringLiteral("Quillon Probe"));
    EXPECT_FALSE(QFontDatabase::families().contains(QStringLiteral("Quillon Probe")));
    EXPECT_FALSE(fonts.RemoveFontResource(path));

    // Files that are no fonts, or no files, are not added.
    const QString junk = dir.filePath(QStringLiteral("junk.ttf"));
    SfntWriter::writeFile(junk, QByteArray("not a font at all"));
    EXPECT_EQ(fonts.AddFontResource(junk), 0);
    EXPECT_EQ(fonts.AddFontResource(dir.path()), 0);
    EXPECT_EQ(fonts.AddFontResource(dir.filePath(QStringLiteral("absent.ttf"))), 0);
}

TEST_F(FontSystemTest, FamilyHiddenBehindATypographicFamilyStillResolves)
{
    // fontconfig keeps "Probe Meetei Mayek" (name ID 16) and drops "Probe MeeteiMayek" (ID 1), which
    // differs from it only in a blank; the face is still known by its own family.
    auto names = SfntWriter::names(QStringLiteral("Probe MeeteiMayek"), QStringLiteral("Regular"),
                                   QStringLiteral("Probe Meetei Mayek Regular"));
    names.push_back(
        quillon::test::SfntName{3, 1, 0x0409, 16, SfntWriter::utf16(QStringLiteral("Probe Meetei Mayek"))});
    const QString path = dir.filePath(QStringLiteral("meetei.ttf"));
    ASSERT_TRUE(SfntWriter::writeFile(path, SfntWriter::minimalFont(names)));
    ASSERT_GE(fonts.AddFontResource(path), 1);
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("Probe MeeteiMayek")), QStringLiteral("Probe MeeteiMayek"));
    EXPECT_EQ(fonts.stdFontName(QStringLiteral("PROBE MEETEIMAYEK")), QStringLiteral("PROBE MEETEIMAYEK"));
    EXPECT_NE(fonts.stdFontName(QStringLiteral("ProbeMeeteiMayek")), QStringLiteral("ProbeMeeteiMayek"));
    fonts.RemoveFontResource(path);
}

TEST_F(FontSystemTest, FaceWithoutLatinIsDescribedAsItself)
{
    // Asked for as with DEFAULT_CHARSET: an Arabic-only face is not swapped for a Latin substitute.
    Os2Fields arabic;
    arabic.codePageRange1 = 1u << 6;
    arabic.panose = {2, 11, 0, 3, 0, 0, 0, 0, 0, 0};
    const QString path = writeFont(QStringLiteral("Probe Arabic Only"), QStringLiteral("arabic.ttf"), arabic);
    ASSERT_GE(fonts.AddFontResource(path), 1);
    const FontHandle font = fonts.CreateFontIndirect(LogFont{QStringLiteral("Probe Arabic Only")});
    ASSERT_NE(font, 0u);
    EXPECT_EQ(fonts.faceOf(font)->file, path);
    EXPECT_EQ(fonts.GetFontLanguageInfo(font), GCP_GLYPHSHAPE);
    EXPECT_EQ(fonts.GetTextMetrics(font)->tmPitchAndFamily, 0x27);
    fonts.DeleteObject(font);
    fonts.RemoveFontResource(path);
}

TEST_F(FontSystemTest, RequestsGetTheRegularFaceOrTheNameCutToTheField)
{
    const FontHandle mono = fonts.CreateFontIndirect(LogFont{QStringLiteral("dejavu sans mono")});
    ASSERT_NE(mono, 0u);
    EXPECT_EQ(QFileInfo(fonts.faceOf(mono)->file).fileName(), QStringLiteral("DejaVuSansMono.ttf"));
    const FontHandle unknown = fonts.CreateFontIndirect(LogFont{QStringLiteral("No Such Face At All")});
    ASSERT_NE(unknown, 0u);
    EXPECT_FALSE(fonts.faceOf(unknown)->file.isEmpty());
    EXPECT_EQ(fonts.liveFonts(), 2);
    EXPECT_TRUE(fonts.DeleteObject(mono));
    EXPECT_FALSE(fonts.DeleteObject(mono));
    EXPECT_FALSE(fonts.GetTextMetrics(mono));
    EXPECT_EQ(fonts.GetFontLanguageInfo(mono), GCP_ERROR);
    EXPECT_EQ(fonts.liveFonts(), 1);

    // A family longer than the field is found by its first 31 characters.
    const QString longName = QStringLiteral("Quillon Probe With A Family Name Too Long For The Field");
    const QString path = writeFont(longName, QStringLiteral("long.ttf"));
    ASSERT_GE(fonts.AddFontResource(path), 1);
    const FontHandle cut = fonts.CreateFontIndirect(LogFont{longName});
    EXPECT_EQ(QFileInfo(fonts.faceOf(cut)->file).fileName(), QStringLiteral("long.ttf"));
    // The whole name is no full name and no family for the round trip's purposes only when it is exact.
    EXPECT_EQ(fonts.stdFontName(longName), longName);
    EXPECT_NE(fonts.stdFontName(longName.left(31)), longName.left(31));
    fonts.RemoveFontResource(path);
}

TEST_F(FontSystemTest, TraitsOfInstalledFaces)
{
    struct Case {
        const char* face;
        std::uint8_t pitchAndFamily;
    };
    // TrueType 0x04 | vector 0x02 | variable pitch 0x01, family in the high nibble.
    const Case cases[] = {
        {"DejaVu Sans", 0x27},                           // swiss
        {"DejaVu Serif", 0x17},                          // roman
        {"DejaVu Sans Mono", 0x36},                      // modern, fixed pitch
        {"Liberation Mono", 0x36},  {"Cantarell", 0x0B}, // CFF outlines: device bit instead of TrueType
    };
    for (const Case& c : cases) {
        const FontHandle font = fonts.CreateFontIndirect(LogFont{QString::fromLatin1(c.face)});
        ASSERT_NE(font, 0u) << c.face;
        EXPECT_EQ(fonts.GetTextMetrics(font)->tmPitchAndFamily, c.pitchAndFamily) << c.face;
        fonts.DeleteObject(font);
    }
    const FontHandle cjk = fonts.CreateFontIndirect(LogFont{QStringLiteral("WenQuanYi Micro Hei")});
    EXPECT_TRUE(fonts.GetFontLanguageInfo(cjk) & GCP_DBCS);
    EXPECT_EQ(QFileInfo(fonts.faceOf(cjk)->file).fileName(), QStringLiteral("wqy-microhei.ttc"));
    EXPECT_EQ(fonts.faceOf(cjk)->index, 0);
}

TEST_F(FontSystemTest, TraitsFollowPanoseCodePagesAndKerning)
{
    Os2Fields script;
    script.panose = {3, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    script.codePageRange1 = (1u << 6) | (1u << 19);
    const auto a = traitsOf(writeFont(QStringLiteral("Probe Script"), QStringLiteral("a.ttf"), script, 3));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->pitchAndFamily, 0x40 | 0x07);
    EXPECT_EQ(a->languageInfo, GCP_DBCS | GCP_GLYPHSHAPE | GCP_USEKERNING);

    Os2Fields monoPanose;
    monoPanose.panose = {2, 11, 0, 9, 0, 0, 0, 0, 0, 0}; // proportion 9: monospaced although widths vary
    const auto b =
        traitsOf(writeFont(QStringLiteral("Probe Mono"), QStringLiteral("b.ttf"), monoPanose, 0, true));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pitchAndFamily, 0x30 | 0x08 | 0x02);
    EXPECT_EQ(b->languageInfo, 0u);

    EXPECT_FALSE(traitsOf(dir.filePath(QStringLiteral("absent.ttf"))));
}

TEST(FontSystemRules, PitchAndFamilyFromFacts)
{
    // fixed, scalable, sfnt, cff, panose family, serif style, proportion
    EXPECT_EQ(pitchAndFamilyFrom(false, true, true, false, 2, 2, 3), 0x17);
    EXPECT_EQ(pitchAndFamilyFrom(false, true, true, false, 2, 15, 3), 0x27);
    EXPECT_EQ(pitchAndFamilyFrom(false, true, true, false, 2, 16, 3), 0x07); // no family
    EXPECT_EQ(pitchAndFamilyFrom(true, true, true, false, 4, 2, 9), 0x56);   // decorative wins over modern
    EXPECT_EQ(pitchAndFamilyFrom(true, false, false, false, 0, 0, 0), 0x30); // a fixed bitmap face
    EXPECT_EQ(pitchAndFamilyFrom(false, true, false, false, 0, 0, 0), 0x03); // Type 1: no sfnt bits
}

TEST_F(FontSystemTest, OnlyAFormatZeroKernSubtableCountsAsKerning)
{
    const QString kerned = writeFont(QStringLiteral("Probe Kern"), QStringLiteral("kern.ttf"), {}, 3);
    ASSERT_TRUE(traitsOf(kerned));
    EXPECT_EQ(traitsOf(kerned)->languageInfo & 0x8, 0x8u);
    // The same face whose one subtable is format 2 (a class table): no kerning pairs to report.
    QFile file(kerned);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray data = file.readAll();
    file.close();
    const qsizetype entry = data.indexOf("kern");
    ASSERT_GT(entry, 0);
    const auto kern = qFromBigEndian<quint32>(data.constData() + entry + 8);
    data[kern + 4 + 4] = 2; // high byte of the first subtable's coverage: its format
    const QString classes = dir.filePath(QStringLiteral("classes.ttf"));
    ASSERT_TRUE(SfntWriter::writeFile(classes, data));
    ASSERT_TRUE(traitsOf(classes));
    EXPECT_EQ(traitsOf(classes)->languageInfo & 0x8, 0u);
}

TEST(FontSystemRules, LocaleIdentifiers)
{
    EXPECT_EQ(lcidFromLocaleName(""), 0x0409u);
    EXPECT_EQ(lcidFromLocaleName("C"), 0x0409u);
    EXPECT_EQ(lcidFromLocaleName("POSIX"), 0x0409u);
    EXPECT_EQ(lcidFromLocaleName("C.UTF-8"), 0x0409u);
    EXPECT_EQ(lcidFromLocaleName("de_DE.UTF-8"), 0x0407u);
    EXPECT_EQ(lcidFromLocaleName("en_GB"), 0x0809u);
    EXPECT_EQ(lcidFromLocaleName("fr_CA.ISO-8859-1"), 0x0C0Cu);
    EXPECT_EQ(lcidFromLocaleName("ja_JP.eucJP"), 0x0411u);
    EXPECT_EQ(lcidFromLocaleName("de"), 0x0407u); // language only: its likely region
    EXPECT_EQ(lcidFromLocaleName("xx_YY"), 0x0409u);
    EXPECT_EQ(lcidFromLocaleName(QByteArray(400, 'a')), 0x0409u);

    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_CTYPE"), qgetenv("LANG")};
    qputenv("LC_ALL", "");
    qputenv("LC_CTYPE", "fr_FR.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(systemDefaultLcid(), 0x040Cu);
    qputenv("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(systemDefaultLcid(), 0x0411u);
    const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (int i = 0; i < 3; ++i) saved[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

} // namespace
