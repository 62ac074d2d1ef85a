// The one writer of the files the program replaces: whole or not at all, on a full disk too.
#include "platform/ReplacingFile.h"
#include "platform/linux/settings/IniSettingsStore.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillon;
using namespace quillon::platform;

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
}

TEST(ReplacingFile, ReplacesWholeThroughALinkKeepingTheModeAndStreamsLargeCopies)
{
    QTemporaryDir folder;
    const QString real = folder.filePath("real.conf"), link = folder.filePath("link.conf");
    test::writeFile(real, "old");
    // What writers killed before their rename left: an old one goes with the next write, a recent one (a
    // writer still at work) stays.
    test::writeFile(folder.filePath(".real.conf.0badf00d"), "killed");
    test::writeFile(folder.filePath(".real.conf.12345678"), "at work");
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    QFile old(folder.filePath(".real.conf.0badf00d"));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite) &&
                old.setFileTime(hourAgo, QFileDevice::FileModificationTime));
    old.close();
    ::chmod(QFile::encodeName(real).constData(), 0640);
    ASSERT_TRUE(QFile::link(real, link));
    QString problem;
    ASSERT_TRUE(ReplacingFile::replace(link, "new", &problem)) << problem.toStdString();
    EXPECT_EQ(test::contents(real), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat st {};
    ::stat(QFile::encodeName(real).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    QByteArray large(3 * 1024 * 1024 + 5, '\0');
    for (qsizetype i = 0; i < large.size(); ++i) large[i] = char(i * 7);
    test::writeFile(folder.filePath("source"), large);
    ReplacingFile copy(folder.filePath("copy"));
    ASSERT_TRUE(copy.open() && copy.copyFrom(folder.filePath("source")) && copy.commit());
    EXPECT_EQ(test::contents(folder.filePath("copy")), large);
    EXPECT_EQ(entries(folder.path()),
              QStringList({".real.conf.12345678", "copy", "link.conf", "real.conf", "source"}));
}

TEST(ReplacingFile, OnAFullDiskTheEarlierFileStaysByteForByteAndTheReasonIsGiven)
{
    QTemporaryDir outer;
    const QString folder = outer.filePath("disk");
    QDir().mkpath(folder);
    test::FullDisk disk(folder);
    const QByteArray earlier = "[Settings]\nShowSplash=0\n# the user's own line\n";
    test::writeFile(folder + "/disk.conf", earlier);
    disk.fill();

    QString problem;
    EXPECT_FALSE(ReplacingFile::replace(folder + "/disk.conf", QByteArray(8192, 'n'), &problem));
    if (disk.isTmpfs()) {
        EXPECT_EQ(problem, "the disk is full");
    }
    EXPECT_FALSE(problem.isEmpty());
    ReplacingFile copy(folder + "/disk.conf");
    EXPECT_FALSE(copy.open() && copy.copyFrom(outer.filePath("missing")));
    EXPECT_FALSE(copy.problem().isEmpty());

    // The settings store says why its save was dropped; the file is the user's as before.
    IniSettingsStore settings(outer.path());
    settings.SaveSetting("disk", "Settings", "ShowSplash", "1");
    EXPECT_FALSE(settings.saveProblem().isEmpty());
    EXPECT_EQ(settings.GetSetting("disk", "Settings", "ShowSplash"), "0");
    disk.release();
    EXPECT_EQ(test::contents(folder + "/disk.conf"), earlier);
    EXPECT_EQ(entries(folder), QStringList{"disk.conf"}); // no temporary file left behind
}

} // namespace
