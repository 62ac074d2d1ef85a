// Which face a listed name draws from, on the Linux font system with the tests' fonts plus files made
// here: the whole name decides (not the details request's 31 characters), one face in OpenType and Type 1
// draws from the OpenType file, and an added font file is read rather than mapped, so one that shrinks
// while it is read ends nothing.
#include "platform/NativeText.h"
#include "platform/ScreenFace.h"
#include "platform/linux/fonts/FaceNameIndex.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/freetype/FreeTypeFaceTraits.h"

#include "support/SfntWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace quillon::platform;
using quillon::test::Os2Fields;
using quillon::test::SfntName;
using quillon::test::SfntWriter;

namespace {

/// A face as Noto names the members of a wide family: its own family (ID 1) is the full name, and the
/// typographic family and style (IDs 16, 17) group them.
QByteArray wideFamilyMember(const QString& group, const QString& style, std::uint16_t weight)
{
    auto names = SfntWriter::names(group + u' ' + style, QStringLiteral("Regular"), group + u' ' + style);
    names.push_back(SfntName{3, 1, 0x0409, 16, SfntWriter::utf16(group)});
    names.push_back(SfntName{3, 1, 0x0409, 17, SfntWriter::utf16(style)});
    Os2Fields os2;
    os2.weightClass = weight;
    return SfntWriter::minimalFont(names, os2);
}

class FaceResolutionTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& data)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SfntWriter::writeFile(path, data));
        return path;
    }

    QTemporaryDir dir;
    LinuxFontSystem fonts;
};

TEST_F(FaceResolutionTest, LongNamesThatShareTheirFirst31CharactersDrawTheirOwnFace)
{
    const QString group = QStringLiteral("Quillon Probe Display ExtraCondensed");
    const QString black = write("black.ttf", wideFamilyMember(group, QStringLiteral("Black"), 900));
    const QString thin = write("thin.ttf", wideFamilyMember(group, QStringLiteral("Thin"), 100));
    ASSERT_GE(fonts.AddFontResource(black), 1);
    ASSERT_GE(fonts.AddFontResource(thin), 1);

    for (const auto& [style, file, weight] :
         {std::tuple{QStringLiteral("Black"), black, 900}, std::tuple{QStringLiteral("Thin"), thin, 100}}) {
        const QString name = group + u' ' + style;
        SCOPED_TRACE(name.toStdString());
        const auto face = drawnFace(fonts, name);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->file, file);
        EXPECT_FALSE(face->substitute);
        // What Qt draws for the font is that face, at its own weight.
        EXPECT_EQ(QFontInfo(screenFaceFont(fonts, name)).weight(), weight);
    }
    // The details request still reads 31 characters: both names give it one face.
    const FontHandle a = fonts.CreateFontIndirect(LogFont{group + QStringLiteral(" Black")});
    const FontHandle b = fonts.CreateFontIndirect(LogFont{group + QStringLiteral(" Thin")});
    EXPECT_EQ(fonts.faceOf(a)->file, fonts.faceOf(b)->file);

    const auto missing = drawnFace(fonts, group + QStringLiteral(" Hairline"));
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->substitute);
    fonts.RemoveFontResource(black);
    fonts.RemoveFontResource(thin);
}

TEST_F(FaceResolutionTest, ACutNameFindsTheNearestFaceOfThoseStillAdded)
{
    const QString group = QStringLiteral("Quillon Probe Display ExtraCondensed");
    const QByteArray black = wideFamilyMember(group, QStringLiteral("Black"), 900);
    const QByteArray thin = wideFamilyMember(group, QStringLiteral("Thin"), 100);
    FaceNameIndex index;
    ASSERT_EQ(index.learnFile(write("black.ttf", black), black), 1);
    ASSERT_EQ(index.learnFile(write("thin.ttf", thin), thin), 1);
    const QString cut = group.left(31);
    auto found = [&] {
        const auto choice = index.find(cut, 31);
        return choice && choice->how == NameMatch::Prefix ? QFileInfo(index.file(choice->face)).fileName()
                                                          : QString();
    };
    EXPECT_EQ(found(), QStringLiteral("thin.ttf")); // nearer to regular
    EXPECT_FALSE(index.find(cut));                  // only a cut name is taken for the beginning of one
    index.forgetFile(dir.filePath("thin.ttf"));
    EXPECT_EQ(found(), QStringLiteral("black.ttf"));
    index.forgetFile(dir.filePath("black.ttf"));
    EXPECT_EQ(found(), QString());
}

TEST_F(FaceResolutionTest, OneFaceInOpenTypeAndType1DrawsFromTheOpenTypeFile)
{
    // A narrow face: its OpenType file says condensed, its Type 1 file says nothing of its width and so
    // looks nearer to a plain request. The OpenType file is still the one drawn.
    const QString family = QStringLiteral("Quillon Probe Narrow");
    Os2Fields condensed;
    condensed.widthClass = 3;
    const QByteArray otf = SfntWriter::minimalFont(
        SfntWriter::names(family, QStringLiteral("Regular"), family + QStringLiteral(" Regular")), condensed);
    const QByteArray t1 =
        SfntWriter::type1Font(family, family + QStringLiteral(" Regular"), QStringLiteral("Regular"));
    FaceNameIndex index;
    // Either order of learning: the Type 1 file first, as fontconfig may list it.
    ASSERT_EQ(index.learnFile(dir.filePath("narrow.pfa"), t1), 1);
    ASSERT_EQ(index.learnFile(dir.filePath("narrow.otf"), otf), 1);
    for (const QString& name : {family, family.toUpper()}) {
        const auto found = index.find(name);
        ASSERT_TRUE(found);
        EXPECT_EQ(QFileInfo(index.file(found->face)).fileName(), QStringLiteral("narrow.otf"));
    }
    // Without the OpenType file the Type 1 file is the face.
    index.forgetFile(dir.filePath("narrow.otf"));
    const auto alone = index.find(family);
    ASSERT_TRUE(alone);
    EXPECT_EQ(QFileInfo(index.file(alone->face)).fileName(), QStringLiteral("narrow.pfa"));
    EXPECT_FALSE(index.face(alone->face).sfnt);
}

TEST_F(FaceResolutionTest, OfTwoFacesClaimingOneFamilyTheOneWithThatFullNameIsDrawn)
{
    // One font carries its sibling's family name by mistake (as a Rashi Hebrew face carries "... Serif
    // Hebrew Light"); the name is the other's full name too, and that face is the one meant.
    const QString name = QStringLiteral("Quillon Probe Hebrew Light");
    const QByteArray stray = SfntWriter::minimalFont(
        SfntWriter::names(name, QStringLiteral("Regular"), QStringLiteral("Quillon Rashi Light")));
    const QByteArray own = SfntWriter::minimalFont(SfntWriter::names(name, QStringLiteral("Regular"), name));
    FaceNameIndex index;
    ASSERT_EQ(index.learnFile(write("stray.ttf", stray), stray), 1);
    ASSERT_EQ(index.learnFile(write("own.ttf", own), own), 1);
    const auto found = index.find(name);
    ASSERT_TRUE(found);
    EXPECT_EQ(QFileInfo(index.file(found->face)).fileName(), QStringLiteral("own.ttf"));
}

TEST_F(FaceResolutionTest, AddedFileIsFoundByItsBytesAndReadNotMapped)
{
    // A name that is not UTF-8 is the file's own bytes, not a look-alike.
    const QString odd = fromNativeBytes(nativeBytes(dir.path()) + "/probe\xff\xfe.ttf");
    const QByteArray probe = SfntWriter::minimalFont(
        SfntWriter::names(QStringLiteral("Quillon Odd Name"), QStringLiteral("Regular"),
                          QStringLiteral("Quillon Odd Name Regular")));
    {
        FILE* f = std::fopen(nativeBytes(odd).constData(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(probe.constData(), 1, static_cast<std::size_t>(probe.size()), f);
        std::fclose(f);
    }
    ASSERT_GE(fonts.AddFontResource(odd), 1);
    const auto face = drawnFace(fonts, QStringLiteral("Quillon Odd Name"));
    ASSERT_TRUE(face);
    EXPECT_EQ(nativeBytes(face->file), nativeBytes(odd));
    EXPECT_TRUE(fonts.RemoveFontResource(odd));

    // A large real font, cut short and written back over and over while it is added, described and taken
    // out again: every access past the new end comes back short instead of killing the process.
    QFile source(qEnvironmentVariable("QUILLON_TEST_FONTS") + "/DejaVuSans.ttf");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    const QString path = dir.filePath("shrinking.ttf");
    ASSERT_TRUE(SfntWriter::writeFile(path, whole));
    std::atomic<bool> stop{false};
    std::thread rewriter([&] {
        for (int round = 0; !stop; ++round) {
            QFile f(path);
            if (!f.open(QIODevice::ReadWrite)) continue;
            f.resize(round % 3 == 0 ? 0 : whole.size() / (round % 7 + 2));
            f.seek(0);
            f.write(whole.constData(), whole.size());
        }
    });
    int added = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        if (fonts.AddFontResource(path) > 0) {
            ++added;
            readFaceTraits(path, 0);
            const FontHandle h = fonts.CreateFontIndirect(LogFont{QStringLiteral("DejaVu Sans")});
            fonts.GetTextMetrics(h);
            fonts.DeleteObject(h);
            fonts.RemoveFontResource(path);
        }
    }
    stop = true;
    rewriter.join();
    EXPECT_GT(added, 0);
}

} // namespace

TEST_F(FaceResolutionTest, ANameNoFaceHasIsDrawnFromTheFileItsRecordNames)
{
    // The clean-up leaves "DejaVu Sans Semi" from a "... Semi Bold" face: no face has that name.
    const QString sansBold = qEnvironmentVariable("QUILLON_TEST_FONTS") + "/DejaVuSans-Bold.ttf";
    ASSERT_TRUE(fonts.resolveFace("DejaVu Sans Semi")->substitute);
    ASSERT_TRUE(fonts.useFileFor("DejaVu Sans Semi", sansBold));
    const auto own = fonts.resolveFace("dejavu sans semi");
    ASSERT_TRUE(own);
    EXPECT_FALSE(own->substitute);
    EXPECT_TRUE(own->fromRecord);
    EXPECT_EQ(own->file, sansBold);
    EXPECT_EQ(own->style, "Bold");

    // A name some face has keeps its own face, whatever file it is given; a file no face lies in is refused.
    EXPECT_TRUE(fonts.useFileFor("DejaVu Serif", sansBold));
    EXPECT_EQ(fonts.resolveFace("DejaVu Serif")->family, "DejaVu Serif");
    EXPECT_FALSE(fonts.useFileFor("Nothing Semi", "/nonexistent/font.ttf"));
}
