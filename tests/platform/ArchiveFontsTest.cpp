// The font files of a downloaded archive, read as hostile input: archives made by the test itself with
// libarchive (and a tar header written by hand where a writer would not lie), each checked for what is
// left in the target folder and around it.
#include "platform/linux/files/ArchiveFonts.h"

#include "support/ArchiveWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace quillon::platform {
namespace {

using test::ArchiveEntry;
using test::ArchiveKind;
using test::writeArchive;

class ArchiveFontsTest : public ::testing::Test {
protected:
    QTemporaryDir outer;
    QString target;
    QString archive;

    void SetUp() override
    {
        target = outer.filePath("target");
        archive = outer.filePath("download.zip");
        QDir().mkpath(target);
    }
    /// Everything in the temporary folder but the archive and the (empty) target: what leaked out.
    QStringList outside() const
    {
        QStringList found =
            QDir(outer.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        found.removeAll("target");
        found.removeAll(QFileInfo(archive).fileName());
        return found;
    }
    QStringList inTarget() const
    {
        return QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(ArchiveFontsTest, TakesTheFontsAndLeavesOutMacForksHiddenEntriesAndOtherFiles)
{
    writeArchive(archive, ArchiveKind::Zip,
                 {{"Family/", {}, {}, {}, false},
                  {"Family/Family-Regular.otf", "regular bytes", {}, {}, false},
                  {"Family/Family-Bold.TTF", "bold bytes", {}, {}, true},
                  {"__MACOSX/Family/._Family-Regular.otf", "fork", {}, {}, false},
                  {"Family/.hidden.ttf", "hidden", {}, {}, false},
                  {"Family/OFL.txt", "licence", {}, {}, false}});
    const Unpacked unpacked = ArchiveFonts::unpack(archive, target, ArchiveLimits());
    ASSERT_TRUE(unpacked.problem.isEmpty()) << unpacked.problem.toStdString();
    ASSERT_EQ(unpacked.fonts.size(), 2u);
    EXPECT_EQ(unpacked.fonts[0].entry, "Family/Family-Regular.otf");
    EXPECT_EQ(unpacked.fonts[1].entry, "Family/Family-Bold.TTF");
    EXPECT_TRUE(unpacked.fonts[0].path.startsWith(target + "/"));
    QFile bold(unpacked.fonts[1].path);
    ASSERT_TRUE(bold.open(QIODevice::ReadOnly));
    EXPECT_EQ(bold.readAll(), "bold bytes");
    EXPECT_EQ(unpacked.skipped, 4); // the folder, the fork, the hidden file, the licence
    EXPECT_EQ(inTarget().size(), 2);
    EXPECT_TRUE(outside().isEmpty());
}

TEST_F(ArchiveFontsTest, NamesOutsideTheArchiveAndLinksRefuseItWholeAndLeaveNothing)
{
    const std::vector<std::vector<ArchiveEntry>> crafted = {
        {{"Good.otf", "good", {}, {}, false}, {"../Escaped.otf", "evil", {}, {}, false}},
        {{"Good.otf", "good", {}, {}, false}, {"fonts/../../Escaped.otf", "evil", {}, {}, false}},
        {{"/tmp/Escaped.otf", "evil", {}, {}, false}},
        {{"Good.otf", "good", {}, {}, false}, {"Link.otf", {}, "/etc/passwd", {}, false}},
        {{"Good.otf", "good", {}, {}, false}, {"Hard.otf", {}, {}, "Good.otf", false}},
    };
    for (const auto& entries : crafted) {
        SCOPED_TRACE(entries.back().name.toStdString());
        QFile::remove(archive);
        writeArchive(archive, ArchiveKind::Tar, entries);
        const Unpacked unpacked = ArchiveFonts::unpack(archive, target, ArchiveLimits());
        EXPECT_FALSE(unpacked.problem.isEmpty());
        EXPECT_TRUE(unpacked.fonts.empty());
        EXPECT_TRUE(inTarget().isEmpty()) << inTarget().join(", ").toStdString();
        EXPECT_TRUE(outside().isEmpty()) << outside().join(", ").toStdString();
    }
    EXPECT_FALSE(QFile::exists("/tmp/Escaped.otf"));
}

TEST_F(ArchiveFontsTest, TenThousandEntriesAreRefusedWithTheBound)
{
    std::vector<ArchiveEntry> entries;
    for (int i = 0; i < 10000; ++i)
        entries.push_back({"f" + QByteArray::number(i) + ".ttf", "x", {}, {}, false});
    writeArchive(archive, ArchiveKind::Tar, entries);
    const Unpacked unpacked = ArchiveFonts::unpack(archive, target, ArchiveLimits());
    EXPECT_EQ(unpacked.problem, "it holds more than 2000 entries");
    EXPECT_TRUE(inTarget().isEmpty());
}

TEST_F(ArchiveFontsTest, AnEntryLargerThanTheBoundIsRefusedWhetherItsHeaderSaysSoOrNot)
{
    // A tar header that claims a 1 GiB entry, followed by nothing: refused on what it claims, unread.
    QByteArray header(512, '\0');
    std::memcpy(header.data(), "Huge.otf", 8);
    std::memcpy(header.data() + 100, "0000644", 7);
    std::memcpy(header.data() + 108, "0000000", 7);
    std::memcpy(header.data() + 116, "0000000", 7);
    std::memcpy(header.data() + 124, "10000000000", 11); // 2^30 bytes, in octal
    std::memcpy(header.data() + 136, "00000000000", 11);
    header[156] = '0';
    std::memcpy(header.data() + 257,
                "ustar\0"
                "00",
                8);
    std::memset(header.data() + 148, ' ', 8);
    unsigned sum = 0;
    for (char c : header) sum += static_cast<unsigned char>(c);
    std::snprintf(header.data() + 148, 8, "%06o", sum);
    const QString huge = outer.filePath("huge.tar");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(header + QByteArray(1024, '\0'));
    }
    Unpacked unpacked = ArchiveFonts::unpack(huge, target, ArchiveLimits());
    EXPECT_EQ(unpacked.problem, "it unpacks to more than 512 MiB");
    EXPECT_TRUE(inTarget().isEmpty());

    // A zip entry streamed without its size: counted as it is read, and refused past the bound, with the
    // part already written removed.
    writeArchive(archive, ArchiveKind::Zip, {{"Streamed.otf", QByteArray(3 << 20, 'z'), {}, {}, true}});
    ArchiveLimits small;
    small.bytes = 1 << 20;
    unpacked = ArchiveFonts::unpack(archive, target, small);
    EXPECT_EQ(unpacked.problem, "it unpacks to more than 1 MiB");
    EXPECT_TRUE(inTarget().isEmpty());
}

TEST_F(ArchiveFontsTest, WhatIsNoArchiveIsRefusedWithTheReason)
{
    {
        QFile file(archive);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'q'));
    }
    const Unpacked unpacked = ArchiveFonts::unpack(archive, target, ArchiveLimits());
    EXPECT_TRUE(unpacked.problem.startsWith("it is not an archive the program can read"))
        << unpacked.problem.toStdString();
    EXPECT_TRUE(inTarget().isEmpty());
}

} // namespace
} // namespace quillon::platform
