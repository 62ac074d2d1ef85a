// The finder's survey: its cache file read with every field checked and written whole or not at all, the
// layout tags HarfBuzz reads through the bounded reader, and a whole survey of the tests' fonts, a second
// one taken from the cache and a damaged cache rebuilt.
#include "platform/ReplacingFile.h"
#include "platform/linux/survey/LayoutTagReader.h"
#include "platform/linux/survey/LinuxFaceSurvey.h"
#include "platform/linux/survey/SurveyCache.h"
#include "sfnt/Source.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/QtPrint.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillon::platform;
using quillon::test::SfntWriter;

namespace {

const QByteArray kCache = "quillon face survey 1\nkey 0123456789abcdef0123456789abcdef01234567\n"
                          "tag liga\ntag wght\nfile 0 10 20 0 1 /a b.ttf\nfile 1 5 -1 ? - /c\\\\d\\ne.ttc\n"
                          "draw 0 0\ndraw 1 65537\ndraw -1 0\nend 2 3\n";

std::optional<LayoutTags> tagsOf(const QByteArray& font, int face = 0)
{
    return readLayoutTags(
        std::make_unique<quillon::sfnt::MemorySource>(std::span(
            reinterpret_cast<const std::uint8_t*>(font.constData()), static_cast<std::size_t>(font.size()))),
        face);
}

struct Collect final : SurveyReport {
    Survey survey;
    std::vector<LayoutTags> tags;
    void faces(Survey s) override { survey = std::move(s); }
    void layout(std::vector<LayoutTags> t) override { tags = std::move(t); }
};

} // namespace

TEST(SurveyCache, ReadsBackWhatItWritesAndNothingElse)
{
    const std::optional<SurveyCacheData> data = parseSurveyCache(kCache);
    ASSERT_TRUE(data.has_value());
    ASSERT_EQ(data->files.size(), 2u);
    EXPECT_EQ(data->files[0].path, "/a b.ttf");
    EXPECT_EQ(data->files[0].tags, (LayoutTags{{"liga"}, {"wght"}}));
    EXPECT_FALSE(data->files[1].read);
    EXPECT_EQ(data->files[1].path, "/c\\d\ne.ttc");
    EXPECT_EQ(data->draws[1].index, 65537);
    EXPECT_EQ(parseSurveyCache(serializeSurveyCache(*data)), data);

    const auto changed = [](const char* from, const char* to) {
        return QByteArray(kCache).replace(from, to);
    };
    const QByteArray damaged[] = {
        kCache.left(kCache.size() - 1),          // cut short
        kCache.left(kCache.indexOf("end")),      // no end record
        kCache + "draw 0 0\n",                   // something after the end
        changed("survey 1", "survey 2"),         // another form
        changed("key 0123", "key 0X23"),         // a key of other characters
        changed("tag wght", "tag wgh"),          // a tag of three characters
        changed("tag wght", "tag liga"),         // a tag twice
        changed("0 1 /a", "0 7 /a"),             // a tag number past the tags
        changed("/a b.ttf", "a b.ttf"),          // a relative path
        changed("\\\\d", "\\d"),                 // an escape that is none
        changed("draw 1 65537", "draw 2 65537"), // a draw of no file
        changed("draw 1 65537", "draw 1 -3"),    // a negative index
        changed("file 1 5", "file 65536 5"),     // a face number past a collection's
        changed("end 2 3", "end 2 4"),           // counts that do not add up
        changed("draw 0 0", "draw 0 0 0"),       // a field too many
    };
    for (const QByteArray& text : damaged) EXPECT_FALSE(parseSurveyCache(text)) << text.toStdString();
}

TEST(LayoutTagReader, ReadsFeatureAndAxisTagsThroughTheBoundedReader)
{
    SfntWriter font = SfntWriter::minimalFontTables(SfntWriter::names("Layout", "Regular", "Layout Regular"));
    font.add("GSUB", SfntWriter::layout({}, {"smcp", "liga", "smcp"}))
        .add("GPOS", SfntWriter::layout({}, {"kern", "liga"}))
        .add("fvar", SfntWriter::fvar({{258, 700, 0}}));
    EXPECT_EQ(tagsOf(font.build()), (LayoutTags{{"kern", "liga", "smcp"}, {"wght", "slnt"}}));

    // Face 1 of a collection, a face it does not have, a file that is no sfnt, a table cut off at the end.
    SfntWriter plain = SfntWriter::minimalFontTables(SfntWriter::names("Plain", "Regular", "Plain"));
    EXPECT_EQ(tagsOf(SfntWriter::collection({plain, font}), 1),
              (LayoutTags{{"kern", "liga", "smcp"}, {"wght", "slnt"}}));
    EXPECT_EQ(tagsOf(SfntWriter::collection({plain, font}), 0), LayoutTags{});
    EXPECT_FALSE(tagsOf(SfntWriter::collection({plain}), 3).has_value());
    EXPECT_EQ(tagsOf("STARTFONT 2.1\nFONT -misc-fixed\n"), LayoutTags{});
    SfntWriter cut = SfntWriter::minimalFontTables(SfntWriter::names("Cut", "Regular", "Cut"));
    cut.add("GSUB", SfntWriter::layout({}, {"liga"}).left(14)).add("fvar", QByteArray(8, '\xff'));
    EXPECT_EQ(tagsOf(cut.build()), LayoutTags{});
}

TEST(LinuxFaceSurvey, SurveysTheListedFacesThenAnswersFromItsCache)
{
    QTemporaryDir dir;
    LinuxFaceSurvey survey(dir.path());
    // "Courier 10" is the name the list gives a Windows bitmap font that has another: its record's file.
    const std::vector<ListedFace> listed = {{"DejaVu Sans Mono", ""},
                                            {"Cantarell", ""},
                                            {"WenQuanYi Micro Hei", ""},
                                            {"Fixed", ""},
                                            {"Courier 10", "coure.fon"}};
    Collect first;
    survey.survey(listed, first);
    ASSERT_EQ(first.survey.faces.size(), 5u);
    const SurveyedFace& mono = first.survey.faces[0];
    EXPECT_TRUE(mono.path.endsWith("DejaVuSansMono.ttf")) << mono.path.toStdString();
    EXPECT_TRUE(mono.monospaced);
    EXPECT_TRUE(mono.names.contains("DejaVuSansMono"));
    EXPECT_EQ(first.survey.faces[1].format, FaceFormat::Cff);
    EXPECT_TRUE(first.survey.faces[2].collection);
    EXPECT_EQ(first.survey.faces[3].format, FaceFormat::Bitmap);
    EXPECT_FALSE(first.survey.faces[0].user);
    EXPECT_TRUE(first.survey.faces[4].path.endsWith("coure.fon")) << first.survey.faces[4].path.toStdString();
    ASSERT_GE(mono.languageSet, 0);
    EXPECT_TRUE(first.survey.coverage->languages(mono.languageSet).contains("ru"));
    EXPECT_TRUE(first.survey.coverage->setsWithLanguage("ru")[static_cast<std::size_t>(mono.languageSet)]);
    EXPECT_TRUE(first.survey.coverage->hasCharacters(0, std::vector<char32_t>{U'Ж', U'€'}));
    EXPECT_FALSE(first.survey.coverage->hasCharacters(0, std::vector<char32_t>{U'漢'}));
    ASSERT_EQ(first.tags.size(), 5u);
    EXPECT_TRUE(first.tags[0].features.contains("liga"));

    // The cache answers without reading a file: tags it claims come back as they are.
    std::optional<SurveyCacheData> data = parseSurveyCache(quillon::test::contents(survey.cacheFile()));
    ASSERT_TRUE(data.has_value());
    for (CachedFile& file : data->files) file.tags.features = {"test"};
    ASSERT_TRUE(ReplacingFile::replace(survey.cacheFile(), serializeSurveyCache(*data)));
    Collect second;
    survey.survey(listed, second);
    EXPECT_EQ(second.tags[1].features, QByteArrayList{"test"});
    EXPECT_EQ(second.survey.faces[0].path, mono.path);

    // A cache naming a file fontconfig does not list is no survey's: each name is looked up again, and only
    // a file whose size and time are those the cache gives is not read again.
    data->files.front().path = "/etc/passwd";
    ASSERT_TRUE(ReplacingFile::replace(survey.cacheFile(), serializeSurveyCache(*data)));
    Collect fourth;
    survey.survey(listed, fourth);
    EXPECT_EQ(fourth.survey.faces[0].path, mono.path);
    EXPECT_EQ(fourth.tags[0], first.tags[0]);
    EXPECT_EQ(fourth.tags[1].features, QByteArrayList{"test"});

    // A damaged cache is read again from the files and written anew; another list is surveyed afresh.
    quillon::test::writeFile(survey.cacheFile(), "quillon face survey 1\nkey zz");
    Collect third;
    survey.survey(listed, third);
    EXPECT_EQ(third.tags, first.tags);
    EXPECT_TRUE(parseSurveyCache(quillon::test::contents(survey.cacheFile())).has_value());
    Collect other;
    survey.survey({{"Cantarell", ""}}, other);
    EXPECT_EQ(other.tags.front(), first.tags[1]);
}
