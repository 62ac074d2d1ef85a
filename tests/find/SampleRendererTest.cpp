// A line of sample drawn glyph by glyph from a face's own file, as the finder's rows show them.
#include "find/SampleRenderer.h"
#include "platform/linux/freetype/FreeTypeGlyphFaces.h"

#include <QDir>

#include <gtest/gtest.h>

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

TEST(SampleRenderer, SamplesAreDrawnGlyphByGlyphInTheirColourAndNoWiderThanAsked)
{
    platform::FreeTypeGlyphFaces maps;
    find::SampleRequest request{"key", testFont("DejaVuSans.ttf"), 0, "Ab€", 20, QColor(Qt::red)};
    const QImage line = find::SampleRenderer::draw(maps, request);
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
    EXPECT_LE(find::SampleRenderer::draw(maps, request, 300).width(), 300);
    request.path = testFont("nonesuch.ttf");
    EXPECT_TRUE(find::SampleRenderer::draw(maps, request).isNull());
}
