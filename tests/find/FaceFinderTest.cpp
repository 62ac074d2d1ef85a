// The finder's index and filters on faces described in the test (no font files): name words in any name
// and language, the filters' AND and their counts, the languages fontconfig's way, the layout tags once
// read, and samples that never hold a character the face lacks. Writing systems and queries from ICU and
// the command line.
#include "find/FaceFinder.h"
#include "find/FindQuery.h"
#include "find/SearchText.h"
#include "find/WritingSystems.h"
#include "platform/linux/settings/IniSettingsStore.h"

#include "support/QtPrint.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace quillon;
using namespace quillon::find;
using platform::FaceFormat;

namespace {

/// Character and language sets given by the test: a face has the characters of its string; set s has the
/// tags of sets[s], and a tag without territory also matches its territories, as fontconfig's listing does.
class FakeCoverage final : public platform::SurveyCoverage {
public:
    std::vector<QString> characters;
    std::vector<QStringList> sets;

    bool hasCharacters(int face, std::span<const char32_t> wanted) const override
    {
        const QList<uint> have = characters[static_cast<std::size_t>(face)].toUcs4();
        return std::all_of(wanted.begin(), wanted.end(), [&](char32_t c) { return have.contains(uint(c)); });
    }
    std::vector<char32_t> someCharacters(int face, int count) const override
    {
        std::vector<char32_t> out;
        for (uint c : characters[static_cast<std::size_t>(face)].toUcs4())
            if (static_cast<int>(out.size()) < count) out.push_back(c);
        return out;
    }
    int languageSetCount() const override { return static_cast<int>(sets.size()); }
    QStringList languages(int set) const override { return sets[static_cast<std::size_t>(set)]; }
    std::vector<bool> setsWithLanguage(const QString& tag) const override
    {
        std::vector<bool> out;
        for (const QStringList& set : sets)
            out.push_back(std::any_of(set.begin(), set.end(), [&](const QString& t) {
                return t == tag || t.startsWith(tag + QLatin1Char('-'));
            }));
        return out;
    }
    std::vector<char32_t> languageCharacters(const QString& tag) const override
    {
        const QString letters = tag == QLatin1String("ka") ? QStringLiteral("აბგდევზთიკლმნოპ")
                                : tag == QLatin1String("ja") ? QStringLiteral("あいうえおかきくけこ漢字")
                                                             : QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        std::vector<char32_t> out;
        for (uint c : letters.toUcs4()) out.push_back(c);
        return out;
    }
};

struct Face {
    QString listed;
    QStringList names;
    QString characters;
    int set = -1;
    FaceFormat format = FaceFormat::TrueType;
    bool collection = false, colour = false, monospaced = false, user = false;
    platform::LayoutTags tags;
};

const QString kLatin = QStringLiteral("ABCDEFGabcdefg1234567890 ");

std::vector<Face> sampleFaces()
{
    return {
        {"DejaVu Sans",
         {"DejaVu Sans", "Book", "DejaVuSans"},
         kLatin + "აბგ₿",
         0,
         FaceFormat::TrueType,
         false,
         false,
         false,
         false,
         {{"kern", "liga"}, {}}},
        {"Noto Sans Georgian",
         {"Noto Sans Georgian", "Regular"},
         "აბგდევზთიკლმნოპ",
         1,
         FaceFormat::TrueType,
         false,
         false,
         false,
         true,
         {{"kern"}, {"wdth", "wght"}}},
        {"Noto Sans CJK JP",
         {"Noto Sans CJK JP", "源ノ角ゴシック JP", "Regular"},
         kLatin + "あいうえおかきくけこ漢字",
         2,
         FaceFormat::Cff,
         true,
         false,
         true,
         false,
         {{"smcp", "vert"}, {}}},
        {"École Serif",
         {"École Serif", "Italique"},
         kLatin,
         3,
         FaceFormat::Type1,
         false,
         false,
         false,
         false,
         {}},
        {"Emoji", {"Noto Color Emoji"}, "😀😁", -1, FaceFormat::Bitmap, false, true, false, false, {}},
    };
}

std::unique_ptr<FaceFinder> finderOf(const std::vector<Face>& faces, bool layout = true)
{
    auto coverage = std::make_shared<FakeCoverage>();
    coverage->sets = {{"en", "fr", "ka", "vi"}, {"ka"}, {"en", "ja", "zh-tw"}, {"en", "fr"}};
    platform::Survey survey;
    QStringList listed;
    std::vector<platform::LayoutTags> tags;
    for (const Face& f : faces) {
        listed << f.listed;
        coverage->characters.push_back(f.characters);
        platform::SurveyedFace s;
        s.path = QStringLiteral("/fonts/") + f.listed;
        s.names = f.names;
        s.languageSet = f.set;
        s.format = f.format;
        s.collection = f.collection, s.colour = f.colour, s.monospaced = f.monospaced, s.user = f.user;
        survey.faces.push_back(s);
        tags.push_back(f.tags);
    }
    survey.coverage = coverage;
    auto finder = std::make_unique<FaceFinder>(listed, std::move(survey));
    if (layout) finder->setLayout(LayoutIndex::from(tags));
    return finder;
}

QStringList found(const FaceFinder& finder)
{
    QStringList out;
    for (int face : finder.results()) out << finder.name(face);
    return out;
}

FindQuery named(const QString& words)
{
    FindQuery q;
    q.name = words;
    return q;
}

} // namespace

TEST(SearchText, FoldsCaseAccentsAndCompatibilityFormsButNotAScriptsOwnMarks)
{
    EXPECT_EQ(foldedForSearch(QStringLiteral("École ÉLÉGANTE")), "ecole elegante");
    EXPECT_EQ(foldedForSearch(QStringLiteral("Tiếng Việt")), "tieng viet");
    EXPECT_EQ(foldedForSearch(QStringLiteral("ＭＳ Ｐゴシック")), "ms pゴシック");
    EXPECT_NE(foldedForSearch(QStringLiteral("ゴシック")), foldedForSearch(QStringLiteral("コシック")));
    EXPECT_EQ(searchWords(QStringLiteral("  Noto\tGEOR ")), (QStringList{"noto", "geor"}));
    EXPECT_EQ(requiredCharacters(QStringLiteral("aba\n\tb₿")), (std::vector<char32_t>{U'a', U'b', U'₿'}));
}

TEST(FaceFinder, FindsWordsAnywhereInAnyNameIgnoringCaseAndAccents)
{
    auto finder = finderOf(sampleFaces());
    const auto search = [&](const QString& words) {
        finder->apply(named(words));
        return found(*finder);
    };
    EXPECT_EQ(search("noto geor"), QStringList{"Noto Sans Georgian"});
    EXPECT_EQ(search("ゴシック"), QStringList{"Noto Sans CJK JP"});
    EXPECT_EQ(search("ecole ITALIQUE"), QStringList{"École Serif"}); // words of two names
    EXPECT_EQ(search("dejavusans"), QStringList{"DejaVu Sans"});     // the PostScript name
    EXPECT_EQ(search("color"), QStringList{"Emoji"});                // a name that is not the listed one
    // Typing on narrows what was found, taking back widens it again: the same as searching afresh.
    EXPECT_EQ(search("no"), (QStringList{"Noto Sans Georgian", "Noto Sans CJK JP", "Emoji"}));
    EXPECT_EQ(search("noto s"), (QStringList{"Noto Sans Georgian", "Noto Sans CJK JP"}));
    EXPECT_EQ(search("n"), (QStringList{"DejaVu Sans", "Noto Sans Georgian", "Noto Sans CJK JP", "Emoji"}));
    EXPECT_EQ(search(""),
              (QStringList{"DejaVu Sans", "Noto Sans Georgian", "Noto Sans CJK JP", "École Serif", "Emoji"}));
}

TEST(FaceFinder, CombinesFiltersWithAndCountingWhatEachLeavesAfterThoseAbove)
{
    auto finder = finderOf(sampleFaces());
    FindQuery q;
    q.name = QStringLiteral("sans");
    q.language = QStringLiteral("ka");
    q.text = QStringLiteral("აბგ");
    q.feature = "kern";
    finder->apply(q);
    EXPECT_EQ(found(*finder), (QStringList{"DejaVu Sans", "Noto Sans Georgian"}));
    EXPECT_EQ(finder->leftAfter(Step::Name), 3);
    EXPECT_EQ(finder->leftAfter(Step::WritingSystem), 2);
    EXPECT_EQ(finder->leftAfter(Step::Origin), 2);
    q.variable = true;
    finder->apply(q);
    EXPECT_EQ(found(*finder), QStringList{"Noto Sans Georgian"});
    q.variable = false;
    q.axis = "wdth";
    q.origin = OriginFilter::System;
    finder->apply(q);
    EXPECT_TRUE(found(*finder).isEmpty()); // its only face with wdth is the user's
    EXPECT_EQ(finder->leftAfter(Step::Variation), 1);

    const auto only = [&](auto set) {
        FindQuery one;
        set(one);
        finder->apply(one);
        return found(*finder);
    };
    EXPECT_EQ(only([](FindQuery& f) { f.format = FormatFilter::OpenTypeCff; }),
              QStringList{"Noto Sans CJK JP"});
    EXPECT_EQ(only([](FindQuery& f) { f.format = FormatFilter::Collection; }),
              QStringList{"Noto Sans CJK JP"});
    EXPECT_EQ(only([](FindQuery& f) { f.format = FormatFilter::Type1; }), QStringList{"École Serif"});
    EXPECT_EQ(only([](FindQuery& f) { f.format = FormatFilter::Bitmap; }), QStringList{"Emoji"});
    EXPECT_EQ(only([](FindQuery& f) { f.colour = true; }), QStringList{"Emoji"});
    EXPECT_EQ(only([](FindQuery& f) { f.monospaced = true; }), QStringList{"Noto Sans CJK JP"});
    EXPECT_EQ(only([](FindQuery& f) { f.origin = OriginFilter::User; }), QStringList{"Noto Sans Georgian"});
    EXPECT_EQ(only([](FindQuery& f) { f.text = QStringLiteral("₿"); }), QStringList{"DejaVu Sans"});
    EXPECT_EQ(only([](FindQuery& f) { f.feature = "smcp"; }), QStringList{"Noto Sans CJK JP"});
    EXPECT_EQ(only([](FindQuery& f) { f.feature = "zzzz"; }), QStringList{});
}

TEST(FaceFinder, MatchesLanguagesAsTheFontSystemDoesAndGroupsThemByScript)
{
    auto finder = finderOf(sampleFaces());
    FindQuery q;
    q.language = QStringLiteral("zh"); // no territory: matches zh-tw
    finder->apply(q);
    EXPECT_EQ(found(*finder), QStringList{"Noto Sans CJK JP"});
    q.language.clear();
    q.script = QStringLiteral("Georgian");
    finder->apply(q);
    EXPECT_EQ(found(*finder), (QStringList{"DejaVu Sans", "Noto Sans Georgian"}));
    q.script = QStringLiteral("Han"); // its simplified and traditional writing
    finder->apply(q);
    EXPECT_EQ(found(*finder), QStringList{"Noto Sans CJK JP"});

    finder->apply(named("noto"));
    std::map<QString, int> languages, scripts;
    for (const LanguageCount& l : finder->languageCounts()) languages[l.tag] = l.faces;
    for (const LanguageCount& s : finder->scriptCounts()) scripts[s.script] = s.faces;
    EXPECT_EQ(languages["ka"], 1); // among the faces the name leaves
    EXPECT_EQ(languages["en"], 1);
    EXPECT_EQ(languages["fr"], 0);
    EXPECT_EQ(scripts["Georgian"], 1);
    EXPECT_EQ(scripts["Japanese"], 1);
    EXPECT_EQ(finder->scriptOfLanguage(QStringLiteral("zh-tw")), "Han (Traditional)");
}

TEST(FaceFinder, LeavesFeatureAndAxisFiltersEmptyUntilTheLayoutIsRead)
{
    auto finder = finderOf(sampleFaces(), false);
    FindQuery q;
    q.feature = "kern";
    finder->apply(q);
    EXPECT_TRUE(finder->results().empty());
    EXPECT_TRUE(finder->featureCounts().empty());
    std::vector<platform::LayoutTags> tags;
    for (const Face& f : sampleFaces()) tags.push_back(f.tags);
    finder->setLayout(LayoutIndex::from(tags));
    EXPECT_EQ(found(*finder), (QStringList{"DejaVu Sans", "Noto Sans Georgian"}));
    EXPECT_EQ(finder->features(1), QByteArrayList{"kern"});
    EXPECT_EQ(finder->axes(1), (QByteArrayList{"wdth", "wght"}));
    std::map<QByteArray, int> axes;
    for (const TagCount& a : finder->axisCounts()) axes[a.tag] = a.faces;
    EXPECT_EQ(axes["wght"], 1);
    finder->setLayout(LayoutIndex::from({})); // made for another list: refused
    EXPECT_TRUE(finder->layoutKnown());
    EXPECT_EQ(finder->features(0), (QByteArrayList{"kern", "liga"}));
}

TEST(FaceFinder, SamplesHoldOnlyCharactersTheFaceHas)
{
    auto finder = finderOf(sampleFaces());
    EXPECT_EQ(finder->sampleFor(0, QString()), FaceFinder::kDefaultSample);
    EXPECT_EQ(finder->sampleFor(0, QStringLiteral("Aა₿ж")),
              "Aა₿"); // most kept, the one lacking left out
    // A face without most of the sample shows letters of its own language, then any of its characters.
    const QString georgian = finder->sampleFor(1, QString());
    ASSERT_FALSE(georgian.isEmpty());
    for (uint c : georgian.toUcs4())
        EXPECT_TRUE(finder->hasCharacters(1, {char32_t(c)})) << georgian.toStdString();
    EXPECT_EQ(finder->sampleFor(4, QString()), "😀😁");
    FindQuery q;
    q.language = QStringLiteral("ka");
    finder->apply(q);
    for (uint c : finder->querySample().toUcs4()) EXPECT_EQ(QChar::script(c), QChar::Script_Georgian);
}

TEST(WritingSystems, NamesScriptsFromTheOrthographyWhereTheTagWouldMislead)
{
    EXPECT_EQ(scriptOf(QStringLiteral("ku-iq"), {U'ا', U'ب', U'ت'}), "Arabic");
    EXPECT_EQ(scriptOf(QStringLiteral("ja"), {U'あ', U'漢', U'字'}), "Japanese");
    EXPECT_EQ(scriptOf(QStringLiteral("vi"), {U'a', U'ă'}), "Latin");
    EXPECT_EQ(languageName(QStringLiteral("vi")), "Vietnamese");
    EXPECT_EQ(languageName(QStringLiteral("und-zsye")), "Emoji");
    EXPECT_EQ(scriptNamed(QStringLiteral("geor")), "Georgian");
    EXPECT_EQ(scriptNamed(QStringLiteral("devanagari")), "Devanagari");
    EXPECT_EQ(scriptNamed(QStringLiteral("han (traditional)")), "Han (Traditional)");
    EXPECT_FALSE(scriptNamed(QStringLiteral("klingon piqad")).has_value());
    // No CLDR letters of the language's own script: the font system's characters for it instead.
    EXPECT_EQ(languageSample(QStringLiteral("bh"), QStringLiteral("Devanagari"), {U'क', U'ख'}), "कख");
    for (uint c : languageSample(QStringLiteral("hi"), QStringLiteral("Devanagari"), {}).toUcs4())
        EXPECT_EQ(QChar::script(c), QChar::Script_Devanagari);
}

TEST(FindQuery, ReadsTheCommandLineAndRefusesWhatExcludesItself)
{
    bool count = false;
    QString problem;
    const auto query = FindQuery::fromArguments({"--name", "noto sans", "--language", "zh_TW", "--feature",
                                                 "ss1", "--axis", "wdth", "--colour", "--monospaced",
                                                 "--format", "CFF", "--system", "--count"},
                                                &count, &problem);
    ASSERT_TRUE(query.has_value()) << problem.toStdString();
    EXPECT_TRUE(count);
    EXPECT_EQ(query->language, "zh-tw");
    EXPECT_EQ(query->feature, "ss1 ");
    EXPECT_EQ(query->format, FormatFilter::OpenTypeCff);
    EXPECT_EQ(query->origin, OriginFilter::System);
    for (const QStringList& bad : {QStringList{"--language", "vi", "--script", "Latin"},
                                   {"--user", "--system"},
                                   {"--axis", "wdth", "--variable"},
                                   {"--feature", "toolong"},
                                   {"--format", "woff"},
                                   {"--script", "nonesuch"},
                                   {"--name"},
                                   {"--bold"}})
        EXPECT_FALSE(FindQuery::fromArguments(bad, nullptr, &problem)) << bad.join(' ').toStdString();
}

TEST(FindQuery, KeepsEveryFilterInTheSettings)
{
    QTemporaryDir dir;
    platform::IniSettingsStore settings(dir.path());
    FindQuery query;
    query.name = QStringLiteral("noto sans");
    query.script = QStringLiteral("Georgian");
    query.text = QStringLiteral("₿ж");
    query.feature = "smcp";
    query.axis = "wdth";
    query.colour = query.monospaced = true;
    query.format = FormatFilter::Collection;
    query.origin = OriginFilter::User;
    query.save(settings, FindQuery{});
    EXPECT_EQ(FindQuery::load(settings), query);
    FindQuery fewer = query;
    fewer.axis.clear();
    fewer.variable = true;
    fewer.origin = OriginFilter::Anyone;
    fewer.save(settings, query);
    EXPECT_EQ(FindQuery::load(settings), fewer);
}
