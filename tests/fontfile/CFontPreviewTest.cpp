// The reader on files with exact tables: which name record wins, how texts decode, which bits count, what
// it adds to and removes from the font table, and what it does with files that lie about their layout.
#include "fontfile/CFontPreview.h"

#include "support/FakeFontSystem.h"
#include "support/SfntWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sys/stat.h>

using quillon::CFontPreview;
using quillon::test::FakeFontSystem;
using quillon::test::Os2Fields;
using quillon::test::SfntName;
using quillon::test::SfntWriter;

namespace {

QByteArray bytes(std::initializer_list<unsigned> values)
{
    QByteArray out;
    for (unsigned v : values) out.append(static_cast<char>(v));
    return out;
}

SfntName ms(std::uint16_t id, const QString& text, std::uint16_t language = 0x0409)
{
    return SfntName{3, 1, language, id, SfntWriter::utf16(text)};
}

SfntName mac(std::uint16_t id, const QByteArray& text) { return SfntName{1, 0, 0, id, text}; }

class ReaderTest : public ::testing::Test {
protected:
    QString write(const QByteArray& data, const QString& name = QStringLiteral("font.ttf"))
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SfntWriter::writeFile(path, data));
        return path;
    }
    /// A valid file with the given name records and OS/2 fsSelection, "name" before "OS/2" unless asked.
    QString font(const std::vector<SfntName>& names, std::uint16_t fsSelection = 0x40, bool os2First = false,
                 const QString& file = QStringLiteral("font.ttf"))
    {
        Os2Fields os2;
        os2.fsSelection = fsSelection;
        SfntWriter w;
        w.add("head", SfntWriter::head());
        if (os2First) w.add("OS/2", SfntWriter::os2(os2));
        w.add("name", SfntWriter::name(names));
        if (!os2First) w.add("OS/2", SfntWriter::os2(os2));
        return write(w.build(), file);
    }

    QTemporaryDir dir;
    FakeFontSystem fonts;
};

TEST_F(ReaderTest, MicrosoftRecordsReplaceAndTheSystemLanguageStopsTheScan)
{
    // A Macintosh record before Microsoft ones is replaced; of two Microsoft ones the later wins; a
    // Macintosh record after them is ignored; an empty Microsoft record still replaces.
    CFontPreview reader(fonts);
    reader.setFontFile(font({mac(1, "Mac Family"), ms(1, QStringLiteral("First"), 0x0407),
                             ms(1, QStringLiteral("Second"), 0x040C), mac(1, "Late Mac"), mac(0, "Mac (c)"),
                             SfntName{3, 1, 0x0407, 0, {}}, ms(7, QStringLiteral("Mark"), 0x0409),
                             ms(7, QStringLiteral("Later mark"), 0x0407)}));
    EXPECT_TRUE(reader.ValidTrueTypeFile());
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("Second"));
    EXPECT_EQ(reader.Copyright(), QString());
    // The record in the system language (0x0409 here) stops the scan.
    EXPECT_EQ(reader.Trademark(), QStringLiteral("Mark"));

    fonts.lcid = 0x0407;
    CFontPreview german(fonts);
    german.setFontFile(reader.FontFile());
    EXPECT_EQ(german.FamilyName(), QStringLiteral("First"));
    EXPECT_EQ(german.Trademark(), QStringLiteral("Later mark"));
}

TEST_F(ReaderTest, OtherPlatformsGiveTheFirstNonEmptyText)
{
    CFontPreview reader(fonts);
    reader.setFontFile(font({mac(4, {}), mac(4, "Mac Full"), SfntName{0, 3, 0, 4, SfntWriter::utf16("Uni")},
                             mac(6, "PS-Name"), mac(3, "Unique")}));
    EXPECT_EQ(reader.FullName(), QStringLiteral("Mac Full"));
    EXPECT_EQ(reader.PostscriptName(), QStringLiteral("PS-Name"));
    EXPECT_EQ(reader.UniqueIdentifier(), QStringLiteral("Unique"));
    EXPECT_EQ(reader.SubFamilyName(), QString());
    EXPECT_EQ(reader.VersionString(), QString());
}

TEST_F(ReaderTest, DecodesOneByteTwoByteAndHighFirstTexts)
{
    CFontPreview reader(fonts);
    reader.setFontFile(font({
        mac(0, bytes({0x00, 0x41, 0x00, 0x42})),               // two-byte: "AB"
        mac(1, bytes({0x41, 0x42})),                           // one byte each: "AB"
        mac(2, bytes({0x00, 0x41, 0x00})),                     // odd length: "A"
        SfntName{2, 0, 0, 3, bytes({0xA9, 0x80, 0x20, 0x8D})}, // ANSI code page: © € space U+008D
        mac(5, bytes({0x00, 0x41, 0x01, 0x02})),               // the pair rule as it stands: U+0141 U+0002
        ms(4, QString::fromUtf8("Ωmega Щит")),                 // first byte not 0 on Microsoft: UTF-16BE
        SfntName{0, 3, 0, 6, SfntWriter::utf16(QString::fromUtf8("Ĳssel"))},
        SfntName{3, 1, 0x0409, 7, bytes({0x04, 0x10, 0x04})}, // odd length, first byte not 0: one char
    }));
    EXPECT_EQ(reader.Copyright(), QStringLiteral("AB"));
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("AB"));
    EXPECT_EQ(reader.SubFamilyName(), QStringLiteral("A"));
    EXPECT_EQ(reader.UniqueIdentifier(), QString::fromUtf8("©€ ") + QChar(0x8D));
    EXPECT_EQ(reader.VersionString(), QString(QChar(0x0141)) + QChar(0x0002));
    EXPECT_EQ(reader.FullName(), QString::fromUtf8("Ωmega Щит"));
    EXPECT_EQ(reader.PostscriptName(), QString::fromUtf8("Ĳssel"));
    EXPECT_EQ(reader.Trademark(), QString::fromUtf8("А"));
}

TEST_F(ReaderTest, NoticesPastLatin1AndMacRomanNamesReadWhole)
{
    // The notice starts with a zero byte, as every two-byte text below U+0100 does, yet holds a dash, a
    // quote and Greek; the Macintosh family is Mac Roman.
    const QString notice = QString::fromUtf8("Copyright © 2001–2020 Ελληνικά Ltd’s.");
    CFontPreview reader(fonts);
    reader.setFontFile(
        font({ms(0, notice), mac(1, "Soci\x8Et\x8E"), SfntName{3, 1, 0x0409, 4, bytes({0xD8, 0x00})}}));
    EXPECT_EQ(reader.Copyright(), notice);
    EXPECT_EQ(reader.FamilyName(), QString::fromUtf8("Société"));
    EXPECT_EQ(reader.FullName(), QStringLiteral("?")); // a lone surrogate
}

TEST_F(ReaderTest, WithoutARecordInTheSystemLanguageUsEnglishComesBeforeTheLast)
{
    const QString path =
        font({ms(4, QStringLiteral("English"), 0x0409), ms(4, QString::fromUtf8("हिन्दी"), 0x0439),
              ms(1, QStringLiteral("Deutsch"), 0x0407), ms(1, QString::fromUtf8("Русский"), 0x0419)});
    fonts.lcid = 0x0411; // Japanese: no record has it
    CFontPreview japanese(fonts);
    japanese.setFontFile(path);
    EXPECT_EQ(japanese.FullName(), QStringLiteral("English"));
    EXPECT_EQ(japanese.FamilyName(), QString::fromUtf8("Русский")); // no US English either: the last one
    fonts.lcid = 0x0439;
    CFontPreview hindi(fonts);
    hindi.setFontFile(path);
    EXPECT_EQ(hindi.FullName(), QString::fromUtf8("हिन्दी"));
}

TEST_F(ReaderTest, TableOrderDoesNotMatterAndOnlyFsSelectionBitsCount)
{
    const std::vector<SfntName> names{ms(1, QStringLiteral("Family")), ms(0, QStringLiteral("(c) Someone"))};
    for (bool os2First : {false, true}) {
        CFontPreview reader(fonts);
        reader.setFontFile(font(names, 0x0020 | 0x0001, os2First));
        EXPECT_EQ(reader.FamilyName(), QStringLiteral("Family"));
        EXPECT_EQ(reader.Copyright(), QStringLiteral("(c) Someone"));
        EXPECT_TRUE(reader.Bold());
        EXPECT_TRUE(reader.Italic());
        EXPECT_FALSE(reader.Underlined());
        EXPECT_FALSE(reader.StrikeOut());
    }
    // Regular (bit 6) and a bold macStyle in "head" do not make a font bold.
    SfntWriter w;
    Os2Fields os2;
    os2.fsSelection = 0x0040 | 0x0002 | 0x0010;
    w.add("head", SfntWriter::head(0x5F0F3CF5, 0x0001)).add("OS/2", SfntWriter::os2(os2));
    CFontPreview reader(fonts);
    reader.setFontFile(write(w.build()));
    EXPECT_FALSE(reader.Bold());
    EXPECT_FALSE(reader.Italic());
    EXPECT_TRUE(reader.Underlined());
    EXPECT_TRUE(reader.StrikeOut());
}

TEST_F(ReaderTest, WrongOrMissingMagicReadsNothingButIsStillOffered)
{
    for (bool withHead : {true, false}) {
        SfntWriter w;
        if (withHead) w.add("head", SfntWriter::head(0x12345678));
        w.add("name", SfntWriter::name({ms(1, QStringLiteral("Family"))}));
        Os2Fields os2;
        os2.fsSelection = 0xFFFF;
        w.add("OS/2", SfntWriter::os2(os2));
        FakeFontSystem system;
        {
            CFontPreview reader(system);
            reader.setFontFile(write(w.build()));
            EXPECT_FALSE(reader.ValidTrueTypeFile());
            EXPECT_EQ(reader.FamilyName(), QString());
            EXPECT_FALSE(reader.Bold());
            EXPECT_FALSE(reader.Installed());
            EXPECT_EQ(reader.FaceName(), QString());
            EXPECT_EQ(system.additions, 1);
        }
        // Added but never resolved: still taken out again.
        EXPECT_TRUE(system.added.isEmpty());
        EXPECT_EQ(system.removals, 1);
    }
}

TEST_F(ReaderTest, ResolvesByFamilyThenFamilyAndStyleThenFullName)
{
    const QString path = font({ms(1, QStringLiteral("Quill")), ms(2, QStringLiteral("Bold")),
                               ms(4, QStringLiteral("Quill Heavy"))});
    fonts.knownFamilies = {QStringLiteral("quill bold")};
    {
        CFontPreview reader(fonts);
        reader.setFontFile(path);
        EXPECT_TRUE(reader.Installed());
        EXPECT_EQ(reader.FaceName(), QStringLiteral("Quill Bold"));
        EXPECT_EQ(fonts.additions, 0);
    }
    fonts.knownFamilies = {QStringLiteral("QUILL HEAVY")};
    {
        CFontPreview reader(fonts);
        reader.setFontFile(path);
        EXPECT_TRUE(reader.Installed());
        EXPECT_EQ(reader.FaceName(), QStringLiteral("Quill Heavy"));
    }
    // Unknown until added: the object adds it, resolves it, and takes it out when it goes.
    fonts.knownFamilies.clear();
    fonts.familiesInFile[path] = {QStringLiteral("Quill")};
    {
        CFontPreview reader(fonts);
        reader.setBroadcast(true);
        reader.setFontFile(path);
        EXPECT_FALSE(reader.Installed());
        EXPECT_EQ(reader.FaceName(), QStringLiteral("Quill"));
        EXPECT_EQ(fonts.added, QStringList{path});
        EXPECT_EQ(fonts.broadcasts, 1);
    }
    EXPECT_TRUE(fonts.added.isEmpty());
    EXPECT_EQ(fonts.broadcasts, 2);
}

TEST_F(ReaderTest, MissingPathReleasesButKeepsThePreviousFile)
{
    const QString path = font({ms(1, QStringLiteral("Gone Soon")), ms(5, QStringLiteral("Version 2"))});
    fonts.familiesInFile[path] = {QStringLiteral("Gone Soon")};
    CFontPreview reader(fonts);
    reader.setFontFile(path);
    ASSERT_EQ(reader.FaceName(), QStringLiteral("Gone Soon"));
    ASSERT_EQ(fonts.added.size(), 1);

    reader.setFontFile(dir.filePath(QStringLiteral("missing.ttf")));
    EXPECT_TRUE(fonts.added.isEmpty());
    EXPECT_EQ(reader.FontFile(), path);
    EXPECT_EQ(reader.FaceName(), QString());
    EXPECT_FALSE(reader.ValidTrueTypeFile());
    EXPECT_EQ(reader.VersionString(), QStringLiteral("Version 2"));

    // A folder is not a file either.
    reader.setFontFile(dir.path());
    EXPECT_EQ(reader.FontFile(), path);
    EXPECT_EQ(fonts.additions, 1);
}

TEST_F(ReaderTest, SecondFileStartsFromNothing)
{
    fonts.knownFamilies = {QStringLiteral("First")};
    CFontPreview reader(fonts);
    reader.setFontFile(font({ms(1, QStringLiteral("First")), ms(0, QStringLiteral("Old notice"))}, 0x21));
    ASSERT_TRUE(reader.Installed());
    ASSERT_TRUE(reader.Bold());

    SfntWriter w;
    w.add("head", SfntWriter::head(0)).add("name", SfntWriter::name({ms(1, QStringLiteral("Second"))}));
    reader.setFontFile(write(w.build(), QStringLiteral("second.ttf")));
    EXPECT_FALSE(reader.ValidTrueTypeFile());
    EXPECT_FALSE(reader.Installed());
    EXPECT_FALSE(reader.Bold());
    EXPECT_EQ(reader.Copyright(), QString());
    EXPECT_EQ(reader.FaceName(), QString());
}

TEST_F(ReaderTest, NeverReadsOutsideTheFile)
{
    // One text lies past the end of the file, and the OS/2 table is cut inside fsSelection: its low byte,
    // past the end, reads as zero.
    QByteArray name = SfntWriter::name(
        {ms(1, QStringLiteral("Inside")), ms(0, QStringLiteral("Outside")), ms(4, QStringLiteral("Full"))});
    qToBigEndian<quint16>(0xFFF0, name.data() + 6 + 12 + 10);
    Os2Fields os2;
    os2.fsSelection = 0x2121;
    SfntWriter cut;
    cut.add("head", SfntWriter::head()).add("name", name).add("OS/2", SfntWriter::os2(os2).left(63));
    QByteArray file = cut.build();
    file.chop(1); // the padding after the last table
    CFontPreview reader(fonts);
    reader.setFontFile(write(file));
    EXPECT_TRUE(reader.ValidTrueTypeFile());
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("Inside"));
    EXPECT_EQ(reader.FullName(), QStringLiteral("Full"));
    EXPECT_EQ(reader.Copyright(), QString());
    EXPECT_FALSE(reader.Bold());
    EXPECT_FALSE(reader.Italic());

    // A name table at the end of the file that claims 65535 records.
    QByteArray many = SfntWriter::name({ms(1, QStringLiteral("Many"))});
    qToBigEndian<quint16>(0xFFFF, many.data() + 2);
    SfntWriter counted;
    counted.add("head", SfntWriter::head()).add("name", many);
    CFontPreview manyReader(fonts);
    manyReader.setFontFile(write(counted.build(), QStringLiteral("many.ttf")));
    EXPECT_EQ(manyReader.FamilyName(), QStringLiteral("Many"));

    // Tables placed at the largest offsets, and a directory longer than the file.
    SfntWriter far;
    far.addAt("head", 0xFFFFFFFFu).addAt("name", 0xFFFFFFF0u);
    QByteArray farFile = far.build();
    qToBigEndian<quint16>(0xFFFF, farFile.data() + 4);
    CFontPreview farReader(fonts);
    farReader.setFontFile(write(farFile, QStringLiteral("far.ttf")));
    EXPECT_FALSE(farReader.ValidTrueTypeFile());
    EXPECT_EQ(farReader.FamilyName(), QString());
}

TEST_F(ReaderTest, SharedTextsDecodeOnceAndOverlappingOnesAreBounded)
{
    // 4000 records over one 60000-byte span starting one byte apart: unbounded, the reader would read and
    // hold 240 MB from a 64 kB file. Records sharing one text all get it.
    const QByteArray family = SfntWriter::utf16(QStringLiteral("Shared"));
    std::vector<SfntName> records{ms(1, QStringLiteral("Shared")), ms(4, QStringLiteral("Shared"))};
    for (int i = 0; i < 4000; ++i) records.push_back(SfntName{3, 1, 0x0407, 7, QByteArray()});
    QByteArray name = SfntWriter::name(records);
    // Point both names at the first text, and every trademark record at its own long overlapping span.
    const int storage = 6 + 12 * static_cast<int>(records.size());
    qToBigEndian<quint16>(0, name.data() + 6 + 12 + 10);
    for (int i = 0; i < 4000; ++i) {
        char* record = name.data() + 6 + 12 * (2 + i);
        qToBigEndian<quint16>(60000, record + 8);
        qToBigEndian<quint16>(static_cast<quint16>(i), record + 10);
    }
    name.append(QByteArray(60000 + 4000 - (name.size() - storage), 'A'));
    SfntWriter w;
    w.add("head", SfntWriter::head()).add("name", name);
    CFontPreview reader(fonts);
    reader.setFontFile(write(w.build()));
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("Shared"));
    EXPECT_EQ(reader.FullName(), QStringLiteral("Shared"));
    EXPECT_EQ(reader.Trademark(), QString()); // the last record lies past the budget
}

TEST_F(ReaderTest, TextsFarApartReadAsWellAsTextsTogether)
{
    // The second text sits 60000 bytes after the first, so the texts are read one by one, not together.
    QByteArray name = SfntWriter::name({ms(1, QStringLiteral("Near")), ms(4, QStringLiteral("Far Away"))});
    const int storage = 6 + 2 * 12;
    const QByteArray farText = SfntWriter::utf16(QStringLiteral("Far Away"));
    name.truncate(storage + 8);
    name.append(QByteArray(60000 - 8, '\0')).append(farText);
    qToBigEndian<quint16>(60000, name.data() + 6 + 12 + 10);
    SfntWriter w;
    w.add("head", SfntWriter::head()).add("name", name);
    CFontPreview reader(fonts);
    reader.setFontFile(write(w.build()));
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("Near"));
    EXPECT_EQ(reader.FullName(), QStringLiteral("Far Away"));
}

TEST_F(ReaderTest, CollectionIsReadThroughItsFirstFont)
{
    SfntWriter first, second;
    first.add("head", SfntWriter::head()).add("name", SfntWriter::name({ms(1, QStringLiteral("One"))}));
    second.add("head", SfntWriter::head()).add("name", SfntWriter::name({ms(1, QStringLiteral("Two"))}));
    CFontPreview reader(fonts);
    reader.setFontFile(write(SfntWriter::collection({first, second}), QStringLiteral("pair.ttc")));
    EXPECT_TRUE(reader.ValidTrueTypeFile());
    EXPECT_EQ(reader.FamilyName(), QStringLiteral("One"));

    CFontPreview empty(fonts);
    empty.setFontFile(write(SfntWriter::collection({}), QStringLiteral("empty.ttc")));
    EXPECT_FALSE(empty.ValidTrueTypeFile());
    EXPECT_EQ(empty.FontFile(), dir.filePath(QStringLiteral("empty.ttc")));
}

TEST_F(ReaderTest, OddFilesNeitherHangNorLoad)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.ttf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString empty = write(QByteArray(), QStringLiteral("empty.ttf"));
    for (const QString& path : {fifo, empty}) {
        CFontPreview reader(fonts);
        reader.setFontFile(path);
        EXPECT_EQ(reader.FontFile(), path);
        EXPECT_FALSE(reader.ValidTrueTypeFile());
        EXPECT_EQ(reader.FamilyName(), QString());
    }
    EXPECT_TRUE(fonts.added.isEmpty());
}

} // namespace
