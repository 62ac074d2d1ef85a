// A line of sample set in a face from its own file, as the finder's rows show them.
#include "find/SampleRenderer.h"
#include "platform/linux/freetype/FreeTypeGlyphFaces.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace quillon;

namespace {

QString testFont(const char* name) { return QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).filePath(name); }

int inked(const QImage& image)
{
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) pixels += qAlpha(image.pixel(x, y)) > 0;
    return pixels;
}

} // namespace

TEST(SampleRenderer, SamplesAreDrawnInTheirColourNoWiderThanAskedAndLackedCharactersAsTheFaceShowsThem)
{
    platform::FreeTypeGlyphFaces maps;
    find::SampleRequest request{"key", testFont("DejaVuSans.ttf"), 0, "Ab€", 20, QColor(Qt::red)};
    const QImage line = find::SampleRenderer::draw(maps, request).image;
    ASSERT_FALSE(line.isNull());
    EXPECT_GT(inked(line), 50);
    for (int y = 0; y < line.height(); ++y) {
        for (int x = 0; x < line.width(); ++x) {
            if (qAlpha(line.pixel(x, y)) == 255) {
                EXPECT_EQ(qRed(line.pixel(x, y)), 255);
            }
        }
    }
    request.text = QString(500, QLatin1Char('W'));
    EXPECT_LE(find::SampleRenderer::draw(maps, request, 300).image.width(), 300);
    // Characters the face has no glyph for show its missing-glyph shape, as they always did.
    request.text = QStringLiteral("漢字");
    EXPECT_GT(inked(find::SampleRenderer::draw(maps, request).image), 20);
    request.path = testFont("nonesuch.ttf");
    EXPECT_TRUE(find::SampleRenderer::draw(maps, request).image.isNull());
}

TEST(SampleRenderer, ArabicJoinsAsTheShaperSetsItAndALineTooLongKeepsItsStartAtTheRight)
{
    platform::FreeTypeGlyphFaces maps;
    const QString word = QStringLiteral("بببببب");
    find::SampleRequest request{"key", testFont("DejaVuSans.ttf"), 0, word, 20, QColor(Qt::black)};
    const find::SamplePicture joined = find::SampleRenderer::draw(maps, request);
    // hb-shape DejaVuSans.ttf: final, four medial and initial forms, 2011 + 4 × 618 + 570 units of 2048;
    // six letters alone would be 6 × 1928.
    EXPECT_EQ(joined.image.width(), static_cast<int>(std::ceil((2011 + 4 * 618 + 570) * 20 / 2048.0)));
    EXPECT_TRUE(joined.rightToLeft);

    // Cut to the word's width, the line shows its first word, where the word alone would be.
    request.text = word + QStringLiteral(" ب ب ب ب ب ب ب ب ب ب ب ب ب ب");
    const find::SamplePicture cut = find::SampleRenderer::draw(maps, request, joined.image.width());
    EXPECT_TRUE(cut.rightToLeft);
    EXPECT_EQ(cut.image, joined.image);
}

TEST(SampleRenderer, AFaceWhoseOnlyCharacterMapTheShaperCannotReadIsDrawnFromThatMap)
{
    // A Macintosh Roman map alone (older fonts have no other): printable ASCII to glyph 1, half as wide as
    // the missing glyph.
    QByteArray map = QByteArray::fromHex("00000001"
                                         "00010000"
                                         "0000000c"
                                         "00000106"
                                         "0000");
    for (int c = 0; c < 256; ++c) map.append(static_cast<char>(c >= 0x20 && c < 0x7F ? 1 : 0));
    test::SfntWriter font = test::SfntWriter::minimalFontTables(
        test::SfntWriter::names("Roman", "Regular", "Roman Regular"), {}, 0, false, 1000);
    font.set("cmap", map);
    QTemporaryDir dir;
    const QString path = dir.filePath("roman.ttf");
    test::writeFile(path, font.build());
    platform::FreeTypeGlyphFaces maps;
    const find::SampleRequest request{"key", path, 0, "AB", 20, QColor(Qt::black)};
    EXPECT_EQ(find::SampleRenderer::draw(maps, request).image.width(), 20);
}
