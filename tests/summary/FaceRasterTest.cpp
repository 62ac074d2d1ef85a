// Faces drawn straight from their files: the rasterizer's line against Qt's own measure of the face, its
// refusals, and the summary drawing the face the font system resolves a name to.
#include "platform/linux/freetype/FreeTypeRasterizer.h"
#include "summary/PictureBox.h"
#include "summary/Summary.h"
#include "summary/SummaryPainter.h"
#include "support/FakeFontSystem.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

QString testFont(const char* name) { return QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).filePath(name); }

int inkIn(const QImage& picture, QRect area, QColor background)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ink += std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                   std::abs(c.blue() - background.blue());
        }
    return ink;
}

// A rasterizer that can draw nothing, so the painter must go through Qt.
class Refusing final : public platform::FaceRasterizer {
public:
    std::optional<platform::RasterLine> rasterize(const QString& file, int, double, const QString&) override
    {
        asked << file;
        return std::nullopt;
    }
    QStringList asked;
};

} // namespace

TEST(FreeTypeRasterizer, DrawsALineMeasuredAsQtMeasuresTheFace)
{
    platform::FreeTypeRasterizer rasterizer;
    const double pixels = 8 * 96 / 72.0;
    const auto line = rasterizer.rasterize(testFont("DejaVuSans.ttf"), 0, pixels, SummaryPainter::kSample);
    ASSERT_TRUE(line.has_value());
    ASSERT_FALSE(line->coverage.isNull());
    EXPECT_EQ(line->coverage.format(), QImage::Format_Alpha8);

    // Qt draws the same face to about the same length (its hinting follows the font configuration).
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    font.setStyleStrategy(QFont::NoFontMerging);
    QTextLayout layout(SummaryPainter::kSample, font, &device);
    layout.beginLayout();
    const QTextLine qtLine = layout.createLine();
    layout.endLayout();
    EXPECT_NEAR(line->advance, qtLine.naturalTextWidth(), qtLine.naturalTextWidth() * 0.04);
    // The design advances, unrounded, measure the same line as closely, without drawing it.
    const auto advance = rasterizer.advance(testFont("DejaVuSans.ttf"), 0, pixels, SummaryPainter::kSample);
    ASSERT_TRUE(advance.has_value());
    EXPECT_NEAR(*advance, qtLine.naturalTextWidth(), qtLine.naturalTextWidth() * 0.04);
    EXPECT_NEAR(line->ascent, qtLine.ascent(), 1.0);
    EXPECT_NEAR(line->descent, qtLine.descent(), 1.0);
    // The ink lies within the cell: from the pen, between the top of the cell and below the baseline.
    EXPECT_GE(line->offset.x(), -2);
    EXPECT_LE(line->offset.x() + line->coverage.width(), line->advance + 2);
    EXPECT_GE(line->offset.y(), 0);
    EXPECT_LE(line->offset.y() + line->coverage.height(), line->ascent + line->descent + 1);

    const auto blank = rasterizer.rasterize(testFont("DejaVuSans.ttf"), 0, pixels, QStringLiteral("   "));
    ASSERT_TRUE(blank.has_value());
    EXPECT_TRUE(blank->coverage.isNull());
    EXPECT_GT(blank->advance, 0);
}

TEST(FreeTypeRasterizer, BitmapFacesDrawTheirOwnLettersAtTheirNearestStrike)
{
    platform::FreeTypeRasterizer rasterizer;
    for (const char* file : {"sserife.fon", "coure.fon"}) {
        SCOPED_TRACE(file);
        if (!QFile::exists(testFont(file))) GTEST_SKIP() << "test font missing";
        const auto same = rasterizer.rasterize(testFont(file), 0, 10.67, QStringLiteral("IIII"));
        const auto mixed = rasterizer.rasterize(testFont(file), 0, 10.67, QStringLiteral("IWIW"));
        ASSERT_TRUE(same && mixed);
        // A code-page font maps the letters themselves, not one default glyph for all of them.
        EXPECT_NE(same->coverage, mixed->coverage);
        EXPECT_GE(mixed->advance, same->advance); // equal in the fixed-pitch face
        EXPECT_GT(same->ascent, 0);
    }
}

TEST(FreeTypeRasterizer, RefusesWhatItCannotDrawWithoutFailing)
{
    platform::FreeTypeRasterizer rasterizer;
    QTemporaryDir folder;
    const QString junk = folder.filePath("junk.ttf");
    {
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\0\1\0\0\0\x0f", 6) + QByteArray(200, '\xff'));
    }
    EXPECT_FALSE(rasterizer.rasterize(junk, 0, 10, QStringLiteral("A")));
    EXPECT_FALSE(rasterizer.rasterize(folder.filePath("absent.ttf"), 0, 10, QStringLiteral("A")));
    EXPECT_FALSE(rasterizer.rasterize(testFont("DejaVuSans.ttf"), 0, 0, QStringLiteral("A")));
    EXPECT_FALSE(rasterizer.rasterize(testFont("DejaVuSans.ttf"), 0, 1e9, QStringLiteral("A")));
    EXPECT_FALSE(
        rasterizer.rasterize(testFont("DejaVuSans.ttf"), 7, 10, QStringLiteral("A"))); // no such face
    EXPECT_FALSE(rasterizer.rasterize(testFont("DejaVuSans.ttf"), -1, 10, QStringLiteral("A")));
    EXPECT_FALSE(rasterizer.advance(junk, 0, 10, QStringLiteral("A")));
    EXPECT_FALSE(rasterizer.advance(testFont("DejaVuSans.ttf"), 7, 10, QStringLiteral("A")));
    // Every malformed font of the corpora is refused or drawn, never a crash.
    const QDir corpora(qEnvironmentVariable("QUILLON_CORPORA"));
    for (const QFileInfo& file : corpora.entryInfoList(QDir::Files, QDir::Name)) {
        (void)rasterizer.rasterize(file.filePath(), 0, 10.67, SummaryPainter::kSample);
        (void)rasterizer.advance(file.filePath(), 0, 10.67, SummaryPainter::kSample);
    }
}

TEST(SummaryFastPath, DrawsTheFaceTheFontSystemResolvesTheNameTo)
{
    test::FakeFontSystem fonts;
    fonts.faces.insert(
        QStringLiteral("plain face"),
        {{testFont("DejaVuSans.ttf"), 0, QStringLiteral("DejaVu Sans"), QStringLiteral("Book"), QString()},
         0,
         0});
    fonts.faces.insert(QStringLiteral("heavy face"),
                       {{testFont("DejaVuSans-Bold.ttf"), 0, QStringLiteral("DejaVu Sans"),
                         QStringLiteral("Bold"), QString()},
                        0,
                        0});
    platform::FreeTypeRasterizer rasterizer;
    Summary summary({QStringLiteral("Plain Face"), QStringLiteral("Heavy Face")}, QRect(), {});
    summary.useFontSystem(&fonts, &rasterizer);
    summary.DrawSummary();
    const QColor background = summary.FontPicture->backColor();
    // Rows sort as "Heavy Face", "Plain Face"; the bold face puts more ink into the same sample.
    const int heavy = inkIn(summary.picture(), QRect(120, 0, 200, 16), background);
    const int plain = inkIn(summary.picture(), QRect(120, 16, 200, 16), background);
    EXPECT_GT(plain, 0);
    EXPECT_GT(heavy, plain * 11 / 10);

    // A face the rasterizer refuses is still drawn, through Qt by its family and style.
    Refusing refusing;
    Summary fallback({QStringLiteral("Heavy Face")}, QRect(), {});
    fallback.useFontSystem(&fonts, &refusing);
    fallback.DrawSummary();
    EXPECT_EQ(refusing.asked, QStringList{testFont("DejaVuSans-Bold.ttf")});
    EXPECT_GT(inkIn(fallback.picture(), QRect(120, 0, 200, 16), background), plain * 11 / 10);
}

// At a scale of 2 the sample is drawn at the screen's pixels: the same length in logical pixels as at 1, with
// detail a 1x picture stretched twice over cannot have (it repeats every pixel in a 2 by 2 block).
TEST(SummaryFastPath, DrawsTheSampleAtTheScreensPixelRatio)
{
    test::FakeFontSystem fonts;
    fonts.faces.insert(
        QStringLiteral("plain face"),
        {{testFont("DejaVuSans.ttf"), 0, QStringLiteral("DejaVu Sans"), QStringLiteral("Book"), QString()},
         0,
         0});
    platform::FreeTypeRasterizer rasterizer;
    const auto drawn = [&](qreal ratio) {
        QImage image(QSize(400, 20) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.setDotsPerMeterX(qRound(96 / 0.0254));
        image.setDotsPerMeterY(qRound(96 / 0.0254));
        image.fill(Qt::white);
        SummaryPainter painter(QStringLiteral("DejaVu Sans"), &image);
        painter.useFontSystem(&fonts, &rasterizer);
        QPainter on(&image);
        painter.drawRow(on, 0, QStringLiteral("Plain Face"), Qt::black, Qt::white);
        return image;
    };
    const QImage once = drawn(1);
    const QImage twice = drawn(2);
    const auto inkRight = [](const QImage& image) {
        int right = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) right = std::max(right, x);
        return right;
    };
    EXPECT_NEAR(inkRight(twice) / 2.0, inkRight(once), 3);
    int uneven = 0;
    for (int y = 0; y + 1 < twice.height(); y += 2)
        for (int x = 240; x + 1 < twice.width(); x += 2)
            if (twice.pixel(x, y) != twice.pixel(x + 1, y) || twice.pixel(x, y) != twice.pixel(x, y + 1))
                ++uneven;
    EXPECT_GT(uneven, 50);
}
