// The layout table reader: features, scripts and language systems of a real face and of tables built to
// be large or hostile; axes, instances and the style a variable face is known by; tags in words.
#include "opentype/LayoutTables.h"
#include "opentype/TagNames.h"
#include "sfnt/Source.h"

#include "support/SfntWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon::opentype {
namespace {

using test::SfntName;
using test::SfntWriter;

/// A face over bytes the test keeps alive.
Face faceOf(const QByteArray& font, int index = 0)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(font.constData()),
                                              static_cast<std::size_t>(font.size()));
    return Face::fromSource(std::make_unique<sfnt::MemorySource>(bytes), index);
}

const Feature* find(const LayoutTables& tables, const char* tag)
{
    auto it = std::find_if(tables.features.begin(), tables.features.end(),
                           [&](const Feature& f) { return f.tag == tag; });
    return it == tables.features.end() ? nullptr : &*it;
}

QByteArray variableFont(const QByteArray& fvarTable)
{
    const QByteArray name = SfntWriter::name({SfntName{3, 1, 0x0409, 256, SfntWriter::utf16("Weight")},
                                              SfntName{3, 1, 0x0409, 257, SfntWriter::utf16("Regular")},
                                              SfntName{3, 1, 0x0409, 258, SfntWriter::utf16("Bold")}});
    return SfntWriter().add("fvar", fvarTable).add("head", SfntWriter::head()).add("name", name).build();
}

} // namespace

TEST(LayoutTables, ReadsARealFaceWithWhereEachFeatureAppears)
{
    const QByteArray path = qgetenv("QUILLON_TEST_FONTS") + "/DejaVuSans.ttf";
    const std::optional<LayoutTables> tables = readLayoutTables(path, 0);
    ASSERT_TRUE(tables);
    const Feature* liga = find(*tables, "liga");
    const Feature* kern = find(*tables, "kern");
    ASSERT_TRUE(liga && kern);
    EXPECT_EQ(liga->name, "Standard Ligatures");
    EXPECT_TRUE(liga->substitution && !liga->positioning);
    EXPECT_TRUE(kern->positioning);
    EXPECT_NE(std::find(liga->systems.begin(), liga->systems.end(), LanguageSystem{"latn", "dflt"}),
              liga->systems.end());
    auto latin = std::find_if(tables->scripts.begin(), tables->scripts.end(),
                              [](const Script& s) { return s.tag == "latn"; });
    ASSERT_NE(latin, tables->scripts.end());
    EXPECT_EQ(latin->name, "Latin");
    EXPECT_FALSE(latin->languages.empty());
    EXPECT_TRUE(tables->axes.empty());
    EXPECT_FALSE(tables->cut);

    // Tags only: the same tags, nothing in words, no language systems walked.
    const std::optional<LayoutTables> tags = readLayoutTables(path, 0, Detail::Tags);
    ASSERT_TRUE(tags);
    ASSERT_EQ(tags->features.size(), tables->features.size());
    EXPECT_TRUE(find(*tags, "liga")->name.isEmpty());
    EXPECT_TRUE(find(*tags, "liga")->systems.empty());
    EXPECT_EQ(tags->scripts.size(), tables->scripts.size());

    EXPECT_FALSE(readLayoutTables(path + ".missing", 0));
    EXPECT_FALSE(readLayoutTables(path, 1)); // a single font has no second face
}

TEST(LayoutTables, ManyFeaturesAndLanguageSystemsStayBounded)
{
    // 65,535 feature records under a handful of tags, and as many distinct tags: each tag once, by tag.
    QByteArrayList repeated, distinct;
    for (int i = 0; i < 65535; ++i) {
        repeated << (i % 3 == 0 ? "liga" : i % 3 == 1 ? "smcp" : "ss01");
        distinct << QByteArray::number(0x1000 + i, 16).right(4);
    }
    const QByteArray font = SfntWriter()
                                .add("GSUB", SfntWriter::layout({}, repeated))
                                .add("GPOS", SfntWriter::layout({}, distinct))
                                .build();
    const LayoutTables tables = readLayoutTables(faceOf(font));
    ASSERT_EQ(tables.features.size(), 3u + 65535u);
    EXPECT_TRUE(std::is_sorted(tables.features.begin(), tables.features.end(),
                               [](const Feature& a, const Feature& b) { return a.tag < b.tag; }));
    EXPECT_TRUE(find(tables, "liga")->substitution);
    EXPECT_EQ(find(tables, "ss01")->name, "Stylistic Set 1");

    // Forty scripts each listing 30,000 features: past the walk's bound it stops and says so.
    QByteArrayList scripts, features;
    for (int i = 0; i < 40; ++i) scripts << "s" + QByteArray::number(100 + i);
    for (int i = 0; i < 30000; ++i) features << QByteArray::number(0x1000 + i, 16).right(4);
    const LayoutTables cut =
        readLayoutTables(faceOf(SfntWriter().add("GSUB", SfntWriter::layout(scripts, features)).build()));
    EXPECT_EQ(cut.features.size(), 30000u);
    EXPECT_TRUE(cut.cut);
    std::size_t systems = 0;
    for (const Feature& f : cut.features) systems += f.systems.size();
    EXPECT_LE(systems, kMostFeatureVisits);
    EXPECT_GT(systems, 30000u);
}

TEST(LayoutTables, AxesInstancesAndTheStyleOfAVariableFace)
{
    QByteArray fvar = SfntWriter::fvar({{258, 700, 0}, {257, 400, 0}, {0, 900, 0}, {299, 100, -10}});
    fvar[16 + 20 + 17] = 1; // the second axis (slnt) is hidden
    const QByteArray font = variableFont(fvar);
    const LayoutTables tables = readLayoutTables(faceOf(font));
    ASSERT_EQ(tables.axes.size(), 2u);
    EXPECT_EQ(tables.axes[0].name, "Weight");
    EXPECT_EQ(tables.axes[0].maximum, 900);
    EXPECT_FALSE(tables.axes[0].hidden);
    EXPECT_TRUE(tables.axes[1].hidden);
    EXPECT_EQ(tables.axes[1].minimum, -10);
    ASSERT_EQ(tables.instances.size(), 4u);
    EXPECT_EQ(tables.instances[0].name, "Bold");
    EXPECT_EQ(tables.instances[2].name, "wght 900, slnt 0");   // name ID 0 names nothing
    EXPECT_EQ(tables.instances[3].name, "wght 100, slnt -10"); // its name record is missing
    EXPECT_EQ(tables.instances[3].coordinates, (std::vector<double>{100, -10}));

    EXPECT_EQ(instanceStyle(faceOf(font), 0x0409), "Regular"); // the whole-range face: the default instance
    EXPECT_EQ(instanceStyle(faceOf(font, 1 << 16), 0x0409), "Bold");
    EXPECT_EQ(instanceStyle(faceOf(font, 4 << 16), 0x0409), "wght 100, slnt -10");
    EXPECT_EQ(instanceStyle(faceOf(font, 5 << 16), 0x0409), "");
    EXPECT_EQ(instanceStyle(faceOf(variableFont(SfntWriter::fvar({{258, 700, 0}}))), 0x0409),
              "wght 400, slnt 0");
    EXPECT_EQ(instanceStyle(faceOf(SfntWriter().add("head", SfntWriter::head()).build()), 0x0409), "");
    // A table claiming more instances than it holds is no table to HarfBuzz: no axes rather than wrong ones.
    EXPECT_TRUE(
        readLayoutTables(faceOf(variableFont(SfntWriter::fvar({{258, 700, 0}}, 60000)))).axes.empty());
}

TEST(TagNames, FeaturesScriptsAndLanguagesInWords)
{
    EXPECT_EQ(featureName("ss03"), "Stylistic Set 3");
    EXPECT_EQ(featureName("cv12"), "Character Variant 12");
    EXPECT_EQ(featureName("ss21"), "");
    EXPECT_TRUE(takesAlternateNumber("salt") && takesAlternateNumber("cv07"));
    EXPECT_FALSE(takesAlternateNumber("smcp") || takesAlternateNumber("ss01"));
    EXPECT_EQ(scriptName("arab"), "Arabic");
    EXPECT_EQ(scriptName("dev2"), "Devanagari");
    EXPECT_EQ(scriptName("DFLT"), "Default");
    EXPECT_EQ(languageName("URD "), "Urdu");
    EXPECT_EQ(languageName("TRK"), "Turkish");
    EXPECT_EQ(languageName("QQQ "), "");
}

} // namespace quillon::opentype
