// The sfnt module on bytes built in code: checked reads, name decoding on every platform, the 'kern' check,
// listings, and the work a hostile file can cause, counted rather than timed.
#include "sfnt/Cursor.h"
#include "sfnt/NameEncodings.h"
#include "sfnt/NameTable.h"
#include "sfnt/NameText.h"
#include "sfnt/Tables.h"

#include "support/SfntWriter.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace quillon::sfnt {
namespace {

using test::Os2Fields;
using test::SfntName;
using test::SfntWriter;

std::span<const std::uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

QString decode(std::uint16_t platform, std::uint16_t encoding, const QByteArray& b)
{
    return decodeNameText(platform, encoding, span(b).data(), span(b).size());
}

/// Counts what a parse asks of its bytes.
class CountingSource final : public Source {
public:
    explicit CountingSource(const QByteArray& b) : inner_(span(b)) {}
    std::uint64_t size() const override { return inner_.size(); }
    bool read(std::uint64_t offset, std::uint8_t* out, std::size_t length) const override
    {
        ++reads;
        bytesRead += length;
        return inner_.read(offset, out, length);
    }
    mutable std::uint64_t reads = 0;
    mutable std::uint64_t bytesRead = 0;

private:
    MemorySource inner_;
};

TEST(SfntCursor, ReadsPastTheEndAsZeroAndNeverOverflows)
{
    const std::uint8_t b[] = {0x12, 0x34, 0x56};
    const Cursor c(b, sizeof b);
    EXPECT_EQ(c.u16(0), 0x1234);
    EXPECT_EQ(c.u32(0), 0x12345600u); // the missing byte reads as zero
    EXPECT_EQ(c.u16(2), 0x5600);
    EXPECT_EQ(c.u32(std::numeric_limits<std::uint64_t>::max() - 1), 0u);
    EXPECT_TRUE(c.holds(1, 2));
    EXPECT_FALSE(c.holds(2, 2));
    EXPECT_FALSE(c.holds(std::numeric_limits<std::uint64_t>::max(), 2));
    EXPECT_TRUE(c.bytes(1, std::numeric_limits<std::uint64_t>::max()).empty());
}

TEST(SfntNameText, UnicodeAndMicrosoftTextsAreUtf16WhateverTheirFirstByte)
{
    // What fonts users download carry in their notices: en dash, right quote, Greek.
    const QString notice = QString::fromUtf8("Copyright © 2001–2020 Ελληνικά Ltd’s.");
    EXPECT_EQ(decode(3, 1, SfntWriter::utf16(notice)), notice);
    EXPECT_EQ(decode(0, 3, SfntWriter::utf16(notice)), notice);
    const QString dashFirst = QString::fromUtf8("–’ Ωμέγα");
    EXPECT_EQ(decode(3, 1, SfntWriter::utf16(dashFirst)), dashFirst);
    // Odd length: the lone last byte goes. A pair stays a pair; a lone half of one prints as "?".
    EXPECT_EQ(decode(3, 1, QByteArray("\x00\x41\x00", 3)), QStringLiteral("A"));
    const QString clef = QString::fromUtf8("\U0001D11E");
    EXPECT_EQ(decode(3, 10, SfntWriter::utf16(clef)), clef);
    EXPECT_EQ(decode(3, 1, QByteArray("\xD8\x34\x00\x41\xDD\x1E", 6)), QStringLiteral("?A?"));
}

TEST(SfntNameText, MacRomanAnsiAndTheTwoByteRule)
{
    EXPECT_EQ(decode(1, 0, QByteArray("Soci\x8Et\x8E")), QString::fromUtf8("Société"));
    EXPECT_EQ(decode(1, 0, QByteArray("\xA9\xD2\xD3\xDB")), QString::fromUtf8("©“”€"));
    // Other one-byte records are read in the ANSI code page, to its last byte.
    EXPECT_EQ(decode(1, 1, QByteArray("\x80\x9F\xFF")), QString::fromUtf8("€Ÿÿ"));
    EXPECT_EQ(decode(2, 0, QByteArray("\x8D")), QString(QChar(0x8D)));
    EXPECT_EQ(ansiCharacter(0x9F), u'\u0178');
    // A one-byte platform's text that starts with 0 is two-byte text, read pair by pair.
    EXPECT_EQ(decode(1, 0, QByteArray("\x00\x41\x00\x42", 4)), QStringLiteral("AB"));
    EXPECT_EQ(decode(2, 1, QByteArray("\x00\x41\x00", 3)), QStringLiteral("A"));
    EXPECT_EQ(decode(1, 0, QByteArray()), QString());
}

TEST(SfntKern, OnlyAFormatZeroSubtableWithPairsCounts)
{
    const QByteArray good = SfntWriter::kern(2);
    EXPECT_TRUE(kernTableHasPairs(span(good)));
    EXPECT_FALSE(kernTableHasPairs(span(good).first(10))); // cut before the pair count
    EXPECT_FALSE(kernTableHasPairs(span(SfntWriter::kern(0))));
    QByteArray classes = good;
    classes[4 + 4] = 2; // format 2, its only subtable
    EXPECT_FALSE(kernTableHasPairs(span(classes)));
    // A first subtable without pairs whose length does not advance must not loop.
    QByteArray stuck = SfntWriter::kern(0);
    stuck[3] = 2;
    stuck[6] = stuck[7] = 0;
    EXPECT_FALSE(kernTableHasPairs(span(stuck)));
    QByteArray apple = good; // Apple's form (version 1.0) is not read
    apple[1] = 1;
    EXPECT_FALSE(kernTableHasPairs(span(apple)));
}

TEST(SfntNames, ListsEveryRecordAndReadsACutLastRecordAsZeros)
{
    const QByteArray name =
        SfntWriter::name({SfntName{1, 0, 0, 1, "Caf\x8E"},
                          SfntName{3, 1, 0x0409, 4, SfntWriter::utf16(QStringLiteral("Full"))},
                          SfntName{3, 1, 0x0411, 7, SfntWriter::utf16(QStringLiteral("Mark"))}});
    const QByteArray font = SfntWriter().add("head", SfntWriter::head()).add("name", name).build();
    const std::vector<NameEntry> all = listNames(span(font));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].text, QString::fromUtf8("Café"));
    EXPECT_EQ(all[1].text, QStringLiteral("Full"));
    EXPECT_EQ(all[2].languageID, 0x0411);
    EXPECT_EQ(all[2].nameID, 7);

    // The file ends inside the last record, after its name ID: what is there counts, the rest is zero
    // (length 0, so no text), and the texts, now outside the file, are empty.
    const qsizetype nameAt = font.indexOf(name.left(6));
    const QByteArray cut = font.left(nameAt + 6 + 2 * 12 + 8);
    const std::vector<NameEntry> some = listNames(span(cut));
    ASSERT_EQ(some.size(), 3u);
    EXPECT_EQ(some[2].platformID, 3);
    EXPECT_EQ(some[2].languageID, 0x0411);
    EXPECT_EQ(some[2].nameID, 7);
    EXPECT_EQ(some[2].text, QString());
    EXPECT_EQ(some[0].text, QString());
    EXPECT_TRUE(listNames(span(cut.left(nameAt + 6 + 2 * 12))).size() == 2u);
    EXPECT_TRUE(listNames(span(QByteArray("ttcf"))).empty());
}

// Each record in its own character set, as a font tool lists it: Windows CJK records stored either as plain
// bytes or as 16-bit units, Johab (which ICU lacks) by its bit fields and KS C 5601 rows, Macintosh
// encodings, and the details' rule kept for an encoding without a converter.
TEST(SfntNames, DecodesEachRecordByItsPlatformAndEncoding)
{
    const auto decode = [](int platform, int encoding, const QByteArray& bytes) {
        return decodeNameTextByEncoding(
            static_cast<std::uint16_t>(platform), static_cast<std::uint16_t>(encoding),
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    };
    const QString gothic = QString::fromUtf8("MS ゴシック");
    EXPECT_EQ(decode(3, 2, QByteArray("MS \x83\x53\x83\x56\x83\x62\x83\x4E")), gothic);
    EXPECT_EQ(decode(3, 2, QByteArray("\0M\0S\0 \x83\x53\x83\x56\x83\x62\x83\x4E", 14)), gothic);
    EXPECT_EQ(decode(1, 1, QByteArray("MS \x83\x53\x83\x56\x83\x62\x83\x4E")), gothic);
    EXPECT_EQ(decode(3, 3, QByteArray("\xCB\xCE\xCC\xE5")), QString::fromUtf8("宋体"));
    EXPECT_EQ(decode(3, 4, QByteArray("\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9")), QString::fromUtf8("新細明體"));
    EXPECT_EQ(decode(1, 2, QByteArray("\xB7\x73\xB2\xD3")), QString::fromUtf8("新細"));
    EXPECT_EQ(decode(3, 5, QByteArray("\xB1\xBC\xB8\xB2")), QString::fromUtf8("굴림"));
    EXPECT_EQ(decode(3, 6,
                     QByteArray("\x88\x61\xD0\x65\xD9\x31"
                                "A")),
              QString::fromUtf8("가한\u3000A"));
    EXPECT_EQ(decode(1, 0, QByteArray("Caf\x8E")), QString::fromUtf8("Café"));
    EXPECT_EQ(decode(1, 7, QByteArray("\x8C\xE8\xF0")), QString::fromUtf8("Мир"));
    EXPECT_EQ(decode(3, 1, SfntWriter::utf16(QString::fromUtf8("Ωmega"))), QString::fromUtf8("Ωmega"));
    EXPECT_EQ(decode(3, 1, QByteArray("\xD8\x00", 2)), QStringLiteral("?"));
    // Broken bytes stand as replacement characters, never as other letters or a longer text.
    EXPECT_EQ(decode(3, 2, QByteArray("\x83")), QStringLiteral("\uFFFD"));
    EXPECT_EQ(decode(3, 6, QByteArray("\xD8\x31\x84")), QStringLiteral("\uFFFD\uFFFD"));
    // No converter (Macintosh Arabic): the one rule of the details.
    const QByteArray arabic("\xC7\xE4");
    EXPECT_EQ(decode(1, 4, arabic),
              decodeNameText(1, 4, reinterpret_cast<const std::uint8_t*>(arabic.constData()), 2));

    // Through the table: a Windows Shift-JIS record and its twin bytes on the Unicode platform are decoded
    // apart, each by its own encoding, where the details' rule reads both as two-byte text.
    const QByteArray sjis("\x83\x53\x83\x56");
    const QByteArray font =
        SfntWriter()
            .add("head", SfntWriter::head())
            .add("name", SfntWriter::name({SfntName{3, 2, 0x0411, 1, sjis}, SfntName{0, 3, 0, 1, sjis}}))
            .build();
    const std::vector<NameEntry> byEncoding = listNames(span(font), 0, decodeNameTextByEncoding);
    ASSERT_EQ(byEncoding.size(), 2u);
    EXPECT_EQ(byEncoding[0].text, QString::fromUtf8("ゴシ"));
    EXPECT_EQ(byEncoding[1].text, QString::fromUtf16(u"\u8353\u8356"));
    EXPECT_EQ(listNames(span(font))[0].text, QString::fromUtf16(u"\u8353\u8356"));
}

TEST(SfntNames, ChoosesTheRecordEveryReaderTakes)
{
    const auto entry = [](std::uint16_t platform, std::uint16_t language, std::uint16_t id,
                          const char* text) {
        return NameEntry{platform, 1, language, id, QString::fromLatin1(text)};
    };
    // Mac family, then Windows US English and German: the system language wins; without it US English comes
    // before the last Windows record.
    const std::vector<NameEntry> names = {entry(1, 0, 1, "Mac"),         entry(3, 0x0409, 1, "English"),
                                          entry(3, 0x0407, 1, "German"), entry(1, 0, 2, "Bold"),
                                          entry(3, 0x0407, 4, ""),       entry(1, 0, 4, "Mac full")};
    EXPECT_EQ(chosenNameRecord(names, 1, 0x0407), 2);
    EXPECT_EQ(chosenNameRecord(names, 1, 0x0411), 1);
    EXPECT_EQ(chosenNameRecord(names, 2, 0x0409), 3);
    EXPECT_EQ(chosenNameRecord(names, 4, 0x0409), 5); // a Windows record without text gives way
    EXPECT_EQ(chosenNameRecord(names, 5, 0x0409), -1);
}

// The crafted shapes a fuzzer and a few hand-made files found: each must cost about what the file holds,
// however its directory and records repeat.

/// `entries` directory entries: one "head", then `names` entries that all point at `name`.
QByteArray repeatedNames(int names, const QByteArray& name)
{
    SfntWriter w;
    w.add("head", SfntWriter::head()).add("name", name);
    const std::uint32_t nameAt = 12 + 16u * static_cast<std::uint32_t>(names + 1) + 56;
    for (int i = 1; i < names; ++i) w.addAt("name", nameAt);
    return w.build();
}

/// A name table of `count` records over one long span, each starting a byte after the one before.
QByteArray overlappingNames(int count, int span)
{
    std::vector<SfntName> records{SfntName{3, 1, 0x0409, 1, SfntWriter::utf16(QStringLiteral("Shared"))}};
    for (int i = 0; i < count; ++i) records.push_back(SfntName{3, 1, 0x0407, 7, QByteArray()});
    QByteArray name = SfntWriter::name(records);
    const int storage = 6 + 12 * static_cast<int>(records.size());
    for (int i = 0; i < count; ++i) {
        char* record = name.data() + 6 + 12 * (1 + i);
        qToBigEndian<quint16>(static_cast<quint16>(span), record + 8);
        qToBigEndian<quint16>(static_cast<quint16>(12 + i), record + 10);
    }
    name.append(QByteArray(12 + span + count - (name.size() - storage), 'A'));
    return name;
}

TEST(SfntWork, RepeatedEntriesAndOverlappingRecordsCostWhatTheFileHolds)
{
    // 65,534 'name' entries at one table of 4,000 overlapping 60,000-byte records (a 1.3 MB file).
    const QByteArray file = repeatedNames(65534, overlappingNames(4000, 60000));
    ASSERT_GT(file.size(), 1'000'000);
    CountingSource source(file);
    FontFacts facts;
    Work work;
    EXPECT_TRUE(readFontFacts(source, facts, &work));
    EXPECT_EQ(facts.texts.at(0), QStringLiteral("Shared"));
    EXPECT_EQ(work.tablesParsed, 3u); // the directory, "head" and the one "name" table
    EXPECT_EQ(work.recordsParsed, 65535u + 4001u);
    EXPECT_LE(work.bytesDecoded, 1u << 20);
    EXPECT_LE(source.bytesRead, 3u * static_cast<std::uint64_t>(file.size()));
    EXPECT_LE(source.reads, 10u);
}

TEST(SfntWork, HugeCountsAndRepeatedSmallTablesAreBoundedByTheFile)
{
    // Counts of 65,535 in a file of a few hundred bytes: only what the file backs is read or held.
    QByteArray name =
        SfntWriter::name({SfntName{3, 1, 0x0409, 1, SfntWriter::utf16(QStringLiteral("Many"))}});
    qToBigEndian<quint16>(0xFFFF, name.data() + 2);
    SfntWriter w;
    w.add("head", SfntWriter::head()).add("name", name).add("OS/2", SfntWriter::os2());
    for (int i = 0; i < 100; ++i) w.addAt("OS/2", 0).addAt("head", 0);
    QByteArray file = w.build();
    qToBigEndian<quint16>(0xFFFF, file.data() + 4);
    CountingSource source(file);
    FontFacts facts;
    Work work;
    readFontFacts(source, facts, &work);
    EXPECT_TRUE(facts.valid);
    EXPECT_EQ(work.tablesParsed, 4u); // directory, head, name, OS/2
    EXPECT_LE(work.recordsParsed * 12, 2u * static_cast<std::uint64_t>(file.size()));
    EXPECT_LE(source.bytesRead, 4u * static_cast<std::uint64_t>(file.size()));
    EXPECT_EQ(facts.texts.at(0), QStringLiteral("Many"));
}

TEST(SfntWork, OfATableListedTwiceTheLastIsRead)
{
    // Different tables under one tag: the later entry's, as the reader has always ended up with.
    SfntWriter w;
    Os2Fields bold;
    bold.fsSelection = 0x20;
    w.add("head", SfntWriter::head())
        .add("name",
             SfntWriter::name({SfntName{3, 1, 0x0409, 1, SfntWriter::utf16(QStringLiteral("Early"))}}))
        .add("OS/2", SfntWriter::os2())
        .add("name", SfntWriter::name({SfntName{3, 1, 0x0409, 1, SfntWriter::utf16(QStringLiteral("Late"))}}))
        .add("OS/2", SfntWriter::os2(bold));
    const FontFacts facts = readFontFacts(span(w.build()));
    ASSERT_EQ(facts.texts.size(), 1u);
    EXPECT_EQ(facts.texts[0], QStringLiteral("Late"));
    EXPECT_EQ(facts.fsSelection, 0x20);
}

} // namespace
} // namespace quillon::sfnt
