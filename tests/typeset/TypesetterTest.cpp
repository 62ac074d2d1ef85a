// Text set in a face from its own file: features, bidirectional order, line breaks, paragraphs, the
// script given, missing characters, the design space, and drawing; the settings' text forms.
#include "typeset/Typesetter.h"
#include "platform/linux/freetype/FreeTypeRasterizer.h"
#include "typeset/FontSettings.h"
#include "typeset/GlyphPainter.h"

#include "support/SfntWriter.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon::typeset {
namespace {

QString testFont(const char* name)
{
    return qEnvironmentVariable("QUILLON_TEST_FONTS") + u'/' + QLatin1String(name);
}

std::vector<unsigned> clusters(const ShapedLine& line)
{
    std::vector<unsigned> out;
    for (const ShapedGlyph& g : line.glyphs) out.push_back(g.cluster);
    return out;
}

class TypesetterTest : public ::testing::Test {
protected:
    platform::FreeTypeRasterizer rasterizer;
    std::unique_ptr<Typesetter> dejaVu = Typesetter::open(rasterizer, testFont("DejaVuSans.ttf"), 0, 0x0409);
};

} // namespace

TEST(FontSettings, ReadsAndWritesHarfBuzzSyntaxAndCss)
{
    const auto features = parseFeatures(QStringLiteral(" smcp, -liga ,salt=2,+kern"));
    ASSERT_TRUE(features);
    FontSettings settings;
    settings.features = *features;
    EXPECT_EQ(settings.feature("liga"), 0u);
    EXPECT_EQ(settings.feature("salt"), 2u);
    EXPECT_EQ(settings.featuresText(), "smcp,-liga,salt=2,kern");
    QString bad;
    EXPECT_FALSE(parseFeatures(QStringLiteral("smcp,aalt[3:5]"), &bad)); // a range: not for the whole text
    EXPECT_EQ(bad, "aalt[3:5]");
    EXPECT_FALSE(parseFeatures(QStringLiteral("=2")));

    const auto axes = parseAxes(QStringLiteral("wght=650,wdth=87.5"));
    ASSERT_TRUE(axes);
    settings.axes = *axes;
    settings.setAxis("wght", std::nullopt);
    settings.language = "TRK";
    EXPECT_EQ(settings.css(), "font-feature-settings: \"smcp\" 1, \"liga\" 0, \"salt\" 2, \"kern\" 1;\n"
                              "font-variation-settings: \"wdth\" 87.5;\n"
                              "font-language-override: \"TRK\";");
    EXPECT_FALSE(parseAxes(QStringLiteral("wght")));
}

TEST_F(TypesetterTest, FeaturesChangeTheGlyphsAndClustersCountCharacters)
{
    ASSERT_TRUE(dejaVu);
    ASSERT_TRUE(dejaVu->shapesWithTables());
    const ShapedText plain = dejaVu->shape(QStringLiteral("ﬃ fi"));
    ASSERT_EQ(plain.lines.size(), 1u);
    EXPECT_EQ(clusters(plain.lines[0]), (std::vector<unsigned>{0, 1, 2})); // "fi" is one ligature
    FontSettings noLigatures;
    noLigatures.setFeature("liga", 0u);
    dejaVu->setSettings(noLigatures);
    EXPECT_EQ(clusters(dejaVu->shape(QStringLiteral("ﬃ fi")).lines[0]), (std::vector<unsigned>{0, 1, 2, 3}));
    // A character beyond the basic plane counts once: the cluster after it is 2, not 3.
    EXPECT_EQ(clusters(dejaVu->shape(QStringLiteral("𝐀b")).lines[0]).back(), 1u);
    EXPECT_EQ(dejaVu->glyphName(dejaVu->shape(QStringLiteral("a")).lines[0].glyphs[0].glyph), "a");
}

TEST_F(TypesetterTest, MixedDirectionsParagraphsAndLineBreaks)
{
    // Left to right with an Arabic word inside: the word's letters come right to left.
    const ShapedLine mixed = dejaVu->shape(QStringLiteral("ab سلام cd")).lines.at(0);
    EXPECT_FALSE(mixed.rightToLeft);
    const std::vector<unsigned> order = clusters(mixed);
    EXPECT_EQ(order.front(), 0u);
    EXPECT_EQ(order.back(), 9u);
    EXPECT_TRUE(std::is_sorted(order.begin() + 3, order.begin() + 6, std::greater<>())); // the Arabic word
    EXPECT_TRUE(dejaVu->shape(QStringLiteral("سلام ab")).lines.at(0).rightToLeft);
    // A script given sets the direction too.
    FontSettings arabic;
    arabic.script = "arab";
    dejaVu->setSettings(arabic);
    EXPECT_TRUE(dejaVu->shape(QStringLiteral("ab")).lines.at(0).rightToLeft);
    dejaVu->setSettings({});

    // Paragraphs: clusters start again at each, an empty one is an empty line, CR LF is one break.
    const ShapedText paragraphs = dejaVu->shape(QStringLiteral("ab\r\n\ncd"));
    ASSERT_EQ(paragraphs.lines.size(), 3u);
    EXPECT_TRUE(paragraphs.lines[1].glyphs.empty());
    EXPECT_EQ(paragraphs.lines[2].paragraph, 2);
    EXPECT_EQ(clusters(paragraphs.lines[2]), (std::vector<unsigned>{0, 1}));

    // Broken to a width: every line but an overlong word fits, no character is lost, blanks end lines.
    const QString text = QStringLiteral("the quick brown fox jumps over the lazy dog again and again");
    const double width = dejaVu->unitsPerEm() * 6;
    const ShapedText broken = dejaVu->shape(text, width);
    EXPECT_GT(broken.lines.size(), 3u);
    std::size_t glyphs = 0;
    for (const ShapedLine& line : broken.lines) {
        EXPECT_LE(line.width, width);
        glyphs += line.glyphs.size();
    }
    EXPECT_EQ(glyphs + broken.lines.size() - 1,
              static_cast<std::size_t>(text.size())); // a blank at each break
}

TEST_F(TypesetterTest, MissingCharactersAndDrawing)
{
    EXPECT_EQ(dejaVu->missingCharacters(QStringLiteral("a漢\nb漢\t字")),
              (std::vector<char32_t>{U'漢', U'字'}));
    EXPECT_TRUE(dejaVu->missingCharacters(QStringLiteral("a\u200db")).empty()); // a joiner is never drawn

    const ShapedText text = dejaVu->shape(QStringLiteral("Hg"));
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    GlyphPainter glyphs(*dejaVu);
    glyphs.paint(painter, text, QRectF(10, 10, 180, 80), 40, Qt::black);
    painter.end();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 200);
    EXPECT_GT(glyphs.cacheBytes(), 0u);
    EXPECT_LE(glyphs.cacheBytes(), GlyphPainter::kMostCacheBytes);
    EXPECT_FALSE(dejaVu->glyphs().outline(text.lines[0].glyphs[0].glyph).isEmpty());
}

TEST_F(TypesetterTest, AType1FaceIsSetFromItsOwnCharacterMapAndAdvances)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plain.pfa");
    ASSERT_TRUE(test::SfntWriter::writeFile(
        path, test::SfntWriter::type1Font("Plain Test", "Plain Test", "Regular")));
    const auto type1 = Typesetter::open(rasterizer, path, 0, 0x0409);
    ASSERT_TRUE(type1);
    EXPECT_FALSE(type1->shapesWithTables()); // its first bytes are no sfnt directory
    const ShapedLine line = type1->shape(QStringLiteral(" ")).lines.at(0);
    ASSERT_EQ(line.glyphs.size(), 1u);
    EXPECT_NE(line.glyphs[0].glyph, 0u);
    EXPECT_EQ(line.glyphs[0].xAdvance, 250);
    EXPECT_EQ(type1->glyphName(line.glyphs[0].glyph), "space");
    EXPECT_EQ(type1->missingCharacters(QStringLiteral(" a")), (std::vector<char32_t>{U'a'}));
}

TEST_F(TypesetterTest, ADesignSpacePointIsKeptWithinItsAxesAndStartsAtTheNamedInstance)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vary.ttf");
    ASSERT_TRUE(test::SfntWriter::writeFile(
        path, test::SfntWriter::minimalVariableFontTables(
                  test::SfntWriter::names("Vary Test", "Regular", "Vary Test"), {{0, 700, 0}, {0, 900, -10}})
                  .build()));
    const auto vary = Typesetter::open(rasterizer, path, 2 << 16, 0x0409);
    ASSERT_TRUE(vary);
    EXPECT_EQ(vary->coordinates(), (std::vector<double>{900, -10}));
    EXPECT_EQ(vary->settings().axis("wght"), 900.0); // the window's sliders start where the face is
    const unsigned before = vary->generation();
    FontSettings far;
    far.setAxis("wght", 5000);
    far.setAxis("wdth", 50); // no such axis: left out
    vary->setSettings(far);
    EXPECT_EQ(vary->coordinates(), (std::vector<double>{900, 0}));
    EXPECT_NE(vary->generation(), before);
}

} // namespace quillon::typeset
