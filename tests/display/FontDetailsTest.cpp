// The details text: its lines, their order and conditions, the version and copyright rules, the record
// and file it reads, and the one details font it keeps alive.
#include "display/FontDetails.h"

#include "support/FakeFontSystem.h"
#include "support/SfntWriter.h"

#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using quillon::FontCatalogue;
using quillon::FontDetails;
using quillon::FontRecord;
using quillon::test::FakeFontSystem;
using quillon::test::SfntName;
using quillon::test::SfntWriter;

namespace {

class FolderLookup : public quillon::platform::FontFileLookup {
public:
    QHash<QString, QString> paths; // lower-cased file name -> path
    QStringList asked;
    QString fontFilePath(const QString& fileName) override
    {
        asked << fileName;
        return paths.value(fileName.toLower());
    }
};

class FontDetailsTest : public ::testing::Test {
protected:
    /// A font file with the given version and copyright, listed under `file` for the lookup.
    void addFile(const QString& file, const QString& version, const QString& copyright,
                 const QString& family = QStringLiteral("Probe"))
    {
        std::vector<SfntName> names = SfntWriter::names(family, QStringLiteral("Regular"), family, version);
        if (!copyright.isNull()) names.push_back(SfntName{3, 1, 0x0409, 0, SfntWriter::utf16(copyright)});
        SfntWriter w;
        w.add("head", SfntWriter::head()).add("name", SfntWriter::name(names));
        const QString path = dir.filePath(file);
        ASSERT_TRUE(SfntWriter::writeFile(path, w.build()));
        files.paths.insert(file.toLower(), path);
    }
    void addFace(const QString& name, std::uint8_t pitchAndFamily, std::uint32_t languageInfo = 0)
    {
        FakeFontSystem::Face face;
        face.face.family = name;
        face.pitchAndFamily = pitchAndFamily;
        face.languageInfo = languageInfo;
        fonts.faces.insert(name.toLower(), face);
    }
    void addRecord(const QString& face, const QString& file)
    {
        catalogue.records.push_back(FontRecord{face.toLower(), file.toLower(), false, false, QString()});
    }

    QTemporaryDir dir;
    FakeFontSystem fonts;
    FolderLookup files;
    FontCatalogue catalogue;
};

TEST_F(FontDetailsTest, TrueTypeSwissFaceWithItsFile)
{
    addFace(QStringLiteral("Probe"), 0x27);
    addRecord(QStringLiteral("Probe"), QStringLiteral("probe.ttf"));
    addFile(QStringLiteral("probe.ttf"), QStringLiteral("Version 1.02"),
            QStringLiteral("Copyright (c) 2024 Somebody. All rights reserved."));
    fonts.knownFamilies = {QStringLiteral("Probe")};
    FontDetails details(fonts, files);
    const auto out = details.describe(QStringLiteral("Probe"), catalogue);
    EXPECT_EQ(out.text(),
              QStringLiteral("Is a TrueType font\r\nIs a variable pitch font\r\nIs a vector font\r\n"
                             "Is a Swiss font\r\nIs a Standard Latin Font\r\nVersion 1.02\r\n"
                             "Installed: True"));
    EXPECT_TRUE(out.copyrightSet);
    EXPECT_EQ(out.copyright, QStringLiteral("Copyright (c) 2024 Somebody"));
}

TEST_F(FontDetailsTest, TraitLinesFollowTheBitsInTheirOwnOrder)
{
    // A raster face starts with its pitch line.
    EXPECT_EQ(FontDetails::traitLines(0x00, 0),
              (QStringList{"Is a fixed pitch font", "Is a Standard Latin Font"}));
    EXPECT_EQ(FontDetails::traitLines(0x5F, 0x8000),
              (QStringList{"Is a TrueType font", "Is a Device font", "Is a variable pitch font",
                           "Is a vector font", "Is a decorative font"}));
    EXPECT_EQ(FontDetails::traitLines(0x60, 0xFFFFFFFF),
              (QStringList{"Is a fixed pitch font", "Double Byte Character Set",
                           "Contains diacritic characters", "Contains non-displaying glyphs",
                           "Contains special glyph shapes", "Supports Kashida glyphs",
                           "Contains kerning tables", "Characters need to be reordered"}));
    EXPECT_EQ(FontDetails::traitLines(0x30 | 0x01, 0x8 | 0x1),
              (QStringList{"Is a variable pitch font", "Is a modern font", "Double Byte Character Set",
                           "Contains kerning tables"}));
    EXPECT_EQ(FontDetails::traitLines(0x10, 0)[1], QStringLiteral("Is a Roman font"));
    EXPECT_EQ(FontDetails::traitLines(0x40, 0)[1], QStringLiteral("Is a script font"));
}

TEST_F(FontDetailsTest, VersionAndCopyrightRules)
{
    EXPECT_EQ(FontDetails::versionLine(QStringLiteral("VERSION 3.1")), QStringLiteral("VERSION 3.1"));
    EXPECT_EQ(FontDetails::versionLine(QStringLiteral("2.1")), QStringLiteral("Version 2.1"));
    EXPECT_EQ(FontDetails::versionLine(QStringLiteral("Version2.1")), QStringLiteral("Version Version2.1"));
    EXPECT_EQ(FontDetails::versionLine(QString()), QString());
    EXPECT_EQ(FontDetails::copyrightLabel(QStringLiteral("No full stop here")),
              QStringLiteral("No full stop here"));
    EXPECT_EQ(FontDetails::copyrightLabel(QStringLiteral(".Leading stop")), QString());
    EXPECT_EQ(FontDetails::copyrightLabel(QStringLiteral("A. B. C.")), QStringLiteral("A"));

    // An empty version adds no line but the installed line still follows; an unknown font is added and
    // taken out again by the reader.
    addFace(QStringLiteral("Probe"), 0x27);
    addRecord(QStringLiteral("Probe"), QStringLiteral("probe.ttf"));
    addFile(QStringLiteral("probe.ttf"), QString(), QString());
    FontDetails details(fonts, files);
    const auto out = details.describe(QStringLiteral("Probe"), catalogue);
    EXPECT_EQ(out.lines.mid(out.lines.size() - 2),
              (QStringList{"Is a Standard Latin Font", "Installed: False"}));
    EXPECT_TRUE(out.copyrightSet);
    EXPECT_EQ(out.copyright, QString());
    EXPECT_EQ(fonts.additions, 1);
    EXPECT_TRUE(fonts.added.isEmpty());
}

TEST_F(FontDetailsTest, FirstRecordOfTheFaceIgnoringCase)
{
    addFace(QStringLiteral("Probe Sans"), 0x27);
    addRecord(QStringLiteral("other"), QStringLiteral("other.ttf"));
    addRecord(QStringLiteral("Probe Sans"), QStringLiteral("ProbeSans.ttf"));
    addRecord(QStringLiteral("Probe Sans"), QStringLiteral("probesans-bold.ttf"));
    addFile(QStringLiteral("probesans.ttf"), QStringLiteral("1.0 regular"), QStringLiteral("Regular."));
    addFile(QStringLiteral("probesans-bold.ttf"), QStringLiteral("1.0 bold"), QStringLiteral("Bold."));
    FontDetails details(fonts, files);
    const auto out = details.describe(QStringLiteral("PROBE sans"), catalogue);
    EXPECT_TRUE(out.lines.contains(QStringLiteral("Version 1.0 regular")));
    EXPECT_EQ(out.copyright, QStringLiteral("Regular"));
    EXPECT_EQ(files.asked, QStringList{QStringLiteral("probesans.ttf")});
}

TEST_F(FontDetailsTest, FaceWithoutRecordOrFileGetsTraitsOnly)
{
    addFace(QStringLiteral("Listed"), 0x31);
    addRecord(QStringLiteral("Listed"), QStringLiteral("gone.ttf"));
    files.paths.insert(QStringLiteral("gone.ttf"), dir.filePath(QStringLiteral("gone.ttf")));
    files.paths.insert(QStringLiteral("hidden.ttf"), dir.filePath(QStringLiteral(".hidden.ttf")));
    SfntWriter::writeFile(dir.filePath(QStringLiteral(".hidden.ttf")), QByteArray(64, '\0'));
    addRecord(QStringLiteral("Hidden"), QStringLiteral("hidden.ttf"));
    FontDetails details(fonts, files);
    for (const QString& face :
         {QStringLiteral("Listed"), QStringLiteral("Unlisted"), QStringLiteral("Hidden")}) {
        const auto out = details.describe(face, catalogue);
        EXPECT_FALSE(out.lines.join(u'|').contains(QStringLiteral("Installed"))) << face.toStdString();
        EXPECT_TRUE(out.copyrightSet);
        EXPECT_EQ(out.copyright, QString());
    }
    EXPECT_EQ(fonts.additions, 0);
}

TEST_F(FontDetailsTest, NoFontMeansNoTextAndTheLabelKept)
{
    fonts.refuseFonts = true;
    FontDetails details(fonts, files);
    const auto out = details.describe(QStringLiteral("Anything"), catalogue);
    EXPECT_TRUE(out.lines.isEmpty());
    EXPECT_EQ(out.text(), QString());
    EXPECT_FALSE(out.copyrightSet);
    EXPECT_EQ(details.detailFont(), 0u);
}

TEST_F(FontDetailsTest, OneDetailsFontAtATime)
{
    {
        FontDetails details(fonts, files);
        for (int i = 0; i < 50; ++i) {
            details.describe(QStringLiteral("Face %1").arg(i % 3), catalogue);
            EXPECT_EQ(fonts.liveFonts(), 1);
        }
        EXPECT_EQ(fonts.fontsCreated, 50);
        // The whole name goes to the font system, which reads what fits the field.
        const QString longName(40, QLatin1Char('x'));
        details.describe(longName, catalogue);
        EXPECT_EQ(fonts.requestedFaceNames.last(), longName);
    }
    EXPECT_EQ(fonts.liveFonts(), 0);
}

} // namespace
