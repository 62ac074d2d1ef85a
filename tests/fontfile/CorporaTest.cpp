// Every file of the malformed-font corpora goes through the reader: no crash, hang or sanitizer report, an
// invalid file yields no names and no style bits, and nothing added to the font table outlives the reader.
// The second pass hands the files to the real font system too, as a user opening a broken file would.
#include "fontfile/CFontPreview.h"

#include "platform/linux/fonts/LinuxFontSystem.h"
#include "support/FakeFontSystem.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFontDatabase>

#include <gtest/gtest.h>

using quillon::CFontPreview;

namespace {

QStringList corpusFiles()
{
    QStringList files;
    const QString root = qEnvironmentVariable("QUILLON_CORPORA");
    if (root.isEmpty()) return files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

/// Reads every property, as the inspect command does, and checks what must hold for any file.
void readAll(CFontPreview& reader, const QString& path)
{
    reader.setFontFile(path);
    ASSERT_EQ(reader.FontFile(), path);
    const QString texts[] = {reader.Copyright(),        reader.FamilyName(),     reader.FullName(),
                             reader.SubFamilyName(),    reader.PostscriptName(), reader.Trademark(),
                             reader.UniqueIdentifier(), reader.VersionString()};
    const bool bits[] = {reader.Bold(), reader.Italic(), reader.StrikeOut(), reader.Underlined()};
    if (!reader.ValidTrueTypeFile() && reader.FaceName().isEmpty()) {
        for (const QString& text : texts) EXPECT_TRUE(text.isEmpty()) << path.toStdString();
        for (bool bit : bits) EXPECT_FALSE(bit) << path.toStdString();
    }
    for (const QString& text : texts) EXPECT_LE(text.size(), 0x8000) << path.toStdString();
}

TEST(Corpora, EveryFileLoadsWithoutHarm)
{
    const QStringList files = corpusFiles();
    if (files.isEmpty()) GTEST_SKIP() << "QUILLON_CORPORA names no folder with files";
    quillon::test::FakeFontSystem fonts;
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : files) {
        {
            CFontPreview reader(fonts);
            readAll(reader, path);
        }
        ASSERT_TRUE(fonts.added.isEmpty()) << path.toStdString();
    }
    // One object reused for every file must end as clean as fresh ones.
    {
        CFontPreview reused(fonts);
        for (const QString& path : files) reused.setFontFile(path);
    }
    EXPECT_TRUE(fonts.added.isEmpty());
    EXPECT_LT(clock.elapsed(), 120000) << "the reader should not crawl over small files";
}

TEST(Corpora, TheFontSystemTakesEveryFileBackOut)
{
    const QStringList files = corpusFiles();
    if (files.isEmpty()) GTEST_SKIP() << "QUILLON_CORPORA names no folder with files";
    const QStringList installed = QFontDatabase::families();
    quillon::platform::LinuxFontSystem fonts;
    // Families that only a corpus file's addition made known: while its reader holds it, the name resolves;
    // once the reader is let go, it must not.
    QStringList madeKnown;
    for (const QString& path : files) {
        QString family;
        {
            CFontPreview reader(fonts);
            readAll(reader, path);
            family = reader.FamilyName();
            if (family.isEmpty() || installed.contains(family, Qt::CaseInsensitive) ||
                madeKnown.contains(family) || fonts.stdFontName(family) != family)
                continue;
        }
        madeKnown << family;
        EXPECT_NE(fonts.stdFontName(family), family)
            << "still known after its reader: " << path.toStdString();
    }
    EXPECT_GT(madeKnown.size(), 10) << "the corpora should hold many faces the font system takes";
}

} // namespace
