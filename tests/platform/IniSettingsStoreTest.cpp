// Settings survive a round trip through the file, hand-edited values read back as text, and storing what is
// already stored leaves the file alone (every start stores its command line; rewriting an unchanged file
// would sync it to disk each time).
#include "platform/linux/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillon::platform;

namespace {

ino_t inodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(IniSettingsStore, ValuesRoundTripAndOnlyAChangeRewritesTheFile)
{
    QTemporaryDir folder;
    IniSettingsStore store(folder.path());
    const QString file = store.fileFor("Quillon");

    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "CommandLine", "none"), "none");
    store.SaveSetting("Quillon", "Settings", "CommandLine", "");
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "CommandLine", "none"), "");

    const ino_t first = inodeOf(file);
    store.SaveSetting("Quillon", "Settings", "CommandLine", "");
    EXPECT_EQ(inodeOf(file), first); // unchanged: not rewritten

    store.SaveSetting("Quillon", "Settings", "CommandLine", "/p c:\\fonts\\a b.ttf");
    EXPECT_NE(inodeOf(file), first); // written through a new file and a rename
    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "CommandLine"), "/p c:\\fonts\\a b.ttf");
    EXPECT_EQ(store.GetSetting("Quillon", "Other", "CommandLine", "x"), "x"); // sections are apart
}

TEST(IniSettingsStore, AHandEditedListReadsAsTextAndIsReplacedByAWrite)
{
    QTemporaryDir folder;
    IniSettingsStore store(folder.path());
    const QString file = store.fileFor("Quillon");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QFile edited(file);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write("[Settings]\nShowSplash=1, 0\n");
    edited.close();

    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "ShowSplash"), "1,0");
    store.SaveSetting("Quillon", "Settings", "ShowSplash", "1,0"); // stored as a list, not as this text
    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "ShowSplash"), "1,0");
    store.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "ShowSplash"), "0");
}
