// The face information: name records in words, coverage, and
// the whole gathering on the tests' own fonts.
#include "faceinfo/FaceInfo.h"
#include "faceinfo/Coverage.h"
#include "faceinfo/FaceInfoReport.h"
#include "faceinfo/NameWords.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/SfntWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::faceinfo;
using quillon::test::SfntName;
using quillon::test::SfntWriter;

TEST(NameWords, NamesPlatformsAndLanguages)
{
    EXPECT_EQ(nameIdWords(14), "Licence URL");
    EXPECT_EQ(nameIdWords(300), "Font-specific name 300");
    EXPECT_EQ(platformWords(3), "Windows");
    EXPECT_EQ(languageWords(3, 0x0407), "German (Germany)");
    EXPECT_EQ(languageWords(3, 0x0804), "Chinese (China)");
    EXPECT_EQ(languageWords(1, 0), "English");
    EXPECT_EQ(languageWords(3, 0x8001), "language tag 1");
    EXPECT_EQ(languageWords(3, 0x7fff), "language 32767");
}

TEST(Coverage, CountsByScriptAndNamesMissingCharacters)
{
    const std::vector<platform::CodeRange> set = {{0x20, 0x7e}, {0x391, 0x3a9}, {0x2713, 0x2713}};
    EXPECT_TRUE(covers(set, 0x20));
    EXPECT_TRUE(covers(set, 0x7e));
    EXPECT_FALSE(covers(set, 0x7f));
    EXPECT_FALSE(covers(set, 0x10));
    EXPECT_EQ(characterCount(set), 95 + 25 + 1);
    const auto scripts = scriptCounts(set);
    ASSERT_GE(scripts.size(), 3u);
    EXPECT_EQ(scripts[0].script, "Latin");
    EXPECT_EQ(scripts[0].characters, 52);
    // Line breaks are not characters of the sample; each missing one is named once, in text order.
    const auto missing = missingCharacters(set, QStringLiteral("Façade\nΩμέγα 漢字 ✓ ç"));
    EXPECT_EQ(describeCharacters(missing),
              QStringLiteral("ç U+00E7, μ U+03BC, έ U+03AD, γ U+03B3, α U+03B1, 漢 U+6F22, 字 U+5B57"));
    EXPECT_EQ(describeCharacters({U'\u00a0'}), "U+00A0");
}

TEST(FaceInfoReader, WordsForVersions)
{
    EXPECT_EQ(FaceInfoReader::versionWords(0x00028000), "2.500");
    EXPECT_EQ(FaceInfoReader::versionWords(0), "");
}

class FaceInfoInstalled : public ::testing::Test {
protected:
    platform::LinuxPlatform machine;
    FontCatalogue catalogue; // empty: the files come from the font system
    FaceInfoReader reader{machine.platform().fontFacts, machine.platform().fontSystem,
                          machine.platform().fontFiles, catalogue};

    static const FileRow* drawn(const FaceInfo& info)
    {
        for (const FileRow& f : info.files)
            if (f.drawn) return &f;
        return nullptr;
    }
};

TEST_F(FaceInfoInstalled, DescribesTheFaceTheSampleDrawsFrom)
{
    const FaceInfo info = reader.read(QStringLiteral("DejaVu Sans"));
    const FileRow* sample = drawn(info);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(sample->path.endsWith("/DejaVuSans.ttf"));
    EXPECT_FALSE(sample->substitute);
    EXPECT_EQ(sample->format, "TrueType");
    EXPECT_GE(info.files.size(), 2u); // the bold file holds the family too
    EXPECT_GT(info.glyphCount, 5000);
    ASSERT_FALSE(info.scripts.empty());
    EXPECT_TRUE(info.languages.contains("ru"));
    EXPECT_EQ(describeCharacters(missingCharacters(info.charset, QStringLiteral("Façade Ωμέγα 漢字 ✓"))),
              QStringLiteral("漢 U+6F22, 字 U+5B57"));
    EXPECT_TRUE(info.licenceUrl.startsWith("http"));
    int usedFamilies = 0;
    for (const NameRow& n : info.names) usedFamilies += n.nameID == 1 && n.used;
    EXPECT_EQ(usedFamilies, 1);
    EXPECT_FALSE(info.features.empty());

    const QJsonObject json = QJsonDocument::fromJson(reportJson(info, QStringLiteral("漢"))).object();
    EXPECT_EQ(json["coverage"].toObject()["missing"].toArray().size(), 1);
}

TEST_F(FaceInfoInstalled, NamesCollectionsCffOutlinesAndSubstitutes)
{
    const FaceInfo cjk = reader.read(QStringLiteral("WenQuanYi Micro Hei"));
    ASSERT_NE(drawn(cjk), nullptr);
    EXPECT_EQ(drawn(cjk)->format, "TrueType collection, face 1 of 2");
    EXPECT_TRUE(missingCharacters(cjk.charset, QStringLiteral("漢字")).empty());

    const FaceInfo cff = reader.read(QStringLiteral("Cantarell"));
    ASSERT_NE(drawn(cff), nullptr);
    EXPECT_EQ(drawn(cff)->format, "OpenType CFF");

    // No face has the name: the substitute is named as such and nothing of it is passed off as the face.
    const FaceInfo none = reader.read(QStringLiteral("No Such Face"));
    EXPECT_EQ(none.described, -1);
    ASSERT_EQ(none.files.size(), 1u);
    EXPECT_TRUE(none.files[0].substitute);
    EXPECT_TRUE(none.names.empty());
}

TEST_F(FaceInfoInstalled, ACollectionIsReportedFaceByFace)
{
    const QString path = qEnvironmentVariable("QUILLON_TEST_FONTS") + "/wqy-microhei.ttc";
    const std::vector<FaceInfo> faces{reader.readFile(path, 0), reader.readFile(path, 1)};
    ASSERT_EQ(faces[1].facesInFile, 2);
    EXPECT_NE(faces[0].face, faces[1].face); // each block describes its own face, not face 0 again
    const QStringList lines = collectionReportLines(faces, {});
    EXPECT_EQ(lines.filter(QRegularExpression("^Collection\t")),
              (QStringList{"Collection\t1\t2", "Collection\t2\t2"}));
    EXPECT_TRUE(lines.contains(QStringLiteral("Described\t%1\t1").arg(path)));
    EXPECT_EQ(lines.count(QString()), 1);

    const QJsonObject json = QJsonDocument::fromJson(collectionReportJson(path, faces, {})).object();
    EXPECT_EQ(json["faceCount"].toInt(), 2);
    const QJsonArray array = json["faces"].toArray();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[1].toObject()["faceIndex"].toInt(), 1);
    EXPECT_EQ(array[1].toObject()["face"].toString(), faces[1].face);
}

TEST_F(FaceInfoInstalled, AVariableFileNamesItsInstancesFromItself)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vary.ttf");
    std::vector<SfntName> names = SfntWriter::names("Vary Test", "Regular", "Vary Test");
    names.push_back({3, 1, 0x0409, 257, SfntWriter::utf16("Upright")});
    ASSERT_TRUE(SfntWriter::writeFile(
        path, SfntWriter::minimalVariableFontTables(names, {{257, 400, 0}, {0, 900, -10}}).build()));
    const FaceInfo info = reader.readFile(path, 0, false);
    ASSERT_EQ(info.instances.size(), 2u);
    EXPECT_EQ(info.instances[0].name, "Upright");
    // No name of its own: known by its coordinates, a negative one as negative.
    EXPECT_EQ(info.instances[1].name, "wght 900, slnt -10");
    EXPECT_EQ(info.instances[1].coordinates, (std::vector<double>{900, -10}));
}

TEST_F(FaceInfoInstalled, AFileNotInstalledIsDescribedFromItself)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("loose.ttf");
    ASSERT_TRUE(SfntWriter::writeFile(
        path, SfntWriter::minimalFont(SfntWriter::names("Loose Test", "Regular", "Loose Test"))));
    const FaceInfo info = reader.readFile(path, 0);
    EXPECT_EQ(info.face, "Loose Test");
    ASSERT_GE(info.described, 0);
    EXPECT_EQ(info.files[std::size_t(info.described)].path, path);
    EXPECT_EQ(info.names.size(), 5u);
    EXPECT_TRUE(info.axes.empty());
    // Read for a window that does not draw it: no face is looked up as drawn, so no substitute is named.
    const FaceInfo loose = reader.readFile(path, 0, false);
    ASSERT_EQ(loose.files.size(), 1u);
    EXPECT_FALSE(loose.files[0].installed);
    // Added for a while, as quillon-inspect adds it: the file itself is drawn, and is no substitute.
    ASSERT_GT(machine.platform().fontSystem.AddFontResource(path), 0);
    const FaceInfo added = reader.readFile(path, 0);
    machine.platform().fontSystem.RemoveFontResource(path);
    ASSERT_EQ(added.files.size(), 1u);
    EXPECT_TRUE(added.files[0].drawn);
    EXPECT_FALSE(added.files[0].substitute);

    // Not a font, or a truncated one: a clear nothing.
    const QString bad = dir.filePath("bad.ttf");
    ASSERT_TRUE(
        SfntWriter::writeFile(bad, SfntWriter::minimalFont(SfntWriter::names("X", "Regular", "X")).left(40)));
    EXPECT_EQ(reader.readFile(bad, 0).described, -1);
    EXPECT_EQ(reader.readFile(dir.filePath("absent.ttf"), 0).described, -1);
}
