// The size list measures a face once and scales it; the heights must be the ones the screen really gives
// for a new font of that face at each size, or the list would offer sizes that do not render distinctly.
#include "display/SizeList.h"
#include "display/TextMeasurer.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace quillon;

TEST(ScreenTextMeasurer, HeightsMatchTheScreensOwnMetricsAtEveryStandardSize)
{
    ScreenTextMeasurer measurer;
    for (const QString face : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "Liberation Mono",
                               "Liberation Sans", "Cantarell", "WenQuanYi Micro Hei", "No Such Face"}) {
        const HeightAt heightAt = measurer.heightsFor(face);
        for (int size : kStandardSizes) {
            QFont font(face);
            font.setStyleStrategy(QFont::NoFontMerging);
            font.setPointSize(size);
            EXPECT_EQ(heightAt(size), QFontMetrics(font).height() * 15.0) << face.toStdString() << " " << size;
        }
        EXPECT_LT(heightAt(0), 0);
    }
}
