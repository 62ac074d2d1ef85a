// The size list measures a face once and scales it; the heights must be the ones the screen really gives
// for a new font of that face at each size, or the list would offer sizes that do not render distinctly.
#include "display/TextMeasurer.h"
#include "display/SizeList.h"
#include "platform/ScreenFace.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "support/FakeFontSystem.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace quillon;

TEST(ScreenTextMeasurer, HeightsMatchTheScreensOwnMetricsAtEveryStandardSize)
{
    platform::LinuxFontSystem fonts;
    ScreenTextMeasurer measurer;
    for (const QString face :
         {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "Liberation Mono", "Liberation Sans",
          "Cantarell", "WenQuanYi Micro Hei", "DejaVu Sans Bold", "No Such Face"}) {
        const QFont screen = platform::screenFaceFont(fonts, face);
        // Loaded at one size and at another: the scaling must not depend on where it started.
        for (int loadedAt : {8, 36}) {
            QFont loaded = screen;
            loaded.setPointSize(loadedAt);
            const HeightAt heightAt = measurer.heightsFor(loaded);
            for (int size : kStandardSizes) {
                QFont font = screen;
                font.setPointSize(size);
                EXPECT_EQ(heightAt(size), QFontMetrics(font).height() * 15.0)
                    << face.toStdString() << " " << size << " loaded at " << loadedAt;
            }
            EXPECT_LT(heightAt(0), 0);
        }
    }
}

TEST(ScreenFace, AFullNameDrawsTheFaceItNamesAndAFamilyNameLeavesTheStyleToTheRequest)
{
    platform::LinuxFontSystem fonts;
    // Qt's matcher alone would draw its default face for a full name.
    const QFont bold = platform::screenFaceFont(fonts, "DejaVu Sans Bold");
    EXPECT_EQ(QFontInfo(bold).family(), "DejaVu Sans");
    EXPECT_EQ(QFontInfo(bold).styleName(), "Bold");
    EXPECT_EQ(bold.styleStrategy() & QFont::NoFontMerging, QFont::NoFontMerging);

    QFont family = platform::screenFaceFont(fonts, "liberation mono");
    EXPECT_EQ(QFontInfo(family).family(), "Liberation Mono");
    EXPECT_TRUE(family.styleName().isEmpty());
    family.setBold(true);
    EXPECT_EQ(QFontInfo(family).styleName(), "Bold"); // the family's own bold face

    // A name nobody has still gives a font the screen can draw: the mapper's substitute.
    EXPECT_FALSE(QFontInfo(platform::screenFaceFont(fonts, "No Such Face")).family().isEmpty());
    EXPECT_FALSE(QFontInfo(platform::screenFaceFont(fonts, QString())).family().isEmpty());
}

TEST(ScreenFace, AStyleIsNamedUnderTheFamilyItBelongsTo)
{
    // A face with a typographic family: name ID 1 says "Noto Sans Black", while its style "Black Italic" is
    // a style of "Noto Sans". Asked for as ("Noto Sans Black", "Black Italic"), Qt finds no such style and
    // draws the upright Black.
    test::FakeFontSystem fonts;
    test::FakeFontSystem::Face face;
    face.face = {"/fonts/NotoSans-BlackItalic.ttf", 0, "Noto Sans Black", "Black Italic", "Noto Sans"};
    fonts.faces.insert("noto sans black italic", face);
    const QFont pinned = platform::screenFaceFont(fonts, "Noto Sans Black Italic");
    EXPECT_EQ(pinned.families(), QStringList{"Noto Sans"});
    EXPECT_EQ(pinned.styleName(), "Black Italic");

    // Asked for by its own family, the request's bold and italic choose within that family.
    fonts.faces.insert("noto sans black", face);
    const QFont family = platform::screenFaceFont(fonts, "Noto Sans Black");
    EXPECT_EQ(family.families(), QStringList{"Noto Sans Black"});
    EXPECT_TRUE(family.styleName().isEmpty());
}
