// One face's glyphs read from its own file (FreeType, through reads): the character map with glyph ids and
// names, a glyph drawn alone, a bitmap face from its nearest strike.
#include "platform/linux/freetype/FreeTypeGlyphFaces.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

QString testFont(const char* name) { return QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).filePath(name); }

} // namespace

TEST(GlyphFaces, ReadsTheCharacterMapNamesAndDrawsGlyphsAlone)
{
    platform::FreeTypeGlyphFaces maps;
    const std::unique_ptr<platform::GlyphFace> face = maps.open(testFont("DejaVuSans.ttf"), 0);
    ASSERT_NE(face, nullptr);
    const auto characters = face->characterMap();
    const auto euro =
        std::find_if(characters.begin(), characters.end(), [](const auto& c) { return c.first == U'€'; });
    ASSERT_NE(euro, characters.end());
    EXPECT_EQ(euro->second, face->glyphOf(U'€'));
    EXPECT_TRUE(std::is_sorted(characters.begin(), characters.end()));
    EXPECT_EQ(face->glyphName(face->glyphOf(U'€')), "Euro");
    EXPECT_EQ(face->glyphOf(0x10FFFD), 0u);
    EXPECT_TRUE(face->glyphName(1u << 30).isEmpty());

    const std::optional<platform::GlyphImage> glyph = face->image(face->glyphOf(U'€'), 24, 0);
    ASSERT_TRUE(glyph.has_value());
    EXPECT_EQ(glyph->image.format(), QImage::Format_Alpha8);
    EXPECT_GT(glyph->image.height(), 15);
    EXPECT_FALSE(face->image(face->glyphOf(U'€'), 1e6, 0).has_value()); // no image as large as that

    // A bitmap face draws from its nearest strike; what is no font opens nothing.
    const std::unique_ptr<platform::GlyphFace> fixed = maps.open(testFont("6x13-ISO8859-1.pcf.gz"), 0);
    ASSERT_NE(fixed, nullptr);
    const std::optional<platform::GlyphImage> letter = fixed->image(fixed->glyphOf(U'A'), 13, 0);
    ASSERT_TRUE(letter.has_value());
    EXPECT_LE(letter->image.height(), 13);
    EXPECT_FALSE(letter->image.isNull());
    EXPECT_EQ(maps.open(QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).path(), 0), nullptr);
    EXPECT_EQ(maps.open(testFont("DejaVuSans.ttf"), 5), nullptr);
}
