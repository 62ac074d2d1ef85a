// Settings survive a round trip through the file, hand-edited values read back as text, and storing what is
// already stored leaves the file alone (every start stores its command line; rewriting an unchanged file
// would sync it to disk each time). The file stays what QSettings reads and writes, a save changes only its
// own line, and a file that is not understood is never written.
#include "platform/linux/settings/IniSettingsStore.h"
#include "platform/NativeText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillon::platform;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

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

TEST(IniSettingsStore, ASaveChangesOnlyItsOwnLine)
{
    QTemporaryDir folder;
    IniSettingsStore store(folder.path());
    const QString file = store.fileFor("Quillon");
    const QByteArray before = "; written by hand\n"
                              "top=1\n"
                              "[Other]\n"
                              "CommandLine=not ours\n"
                              "\n"
                              "[Settings]\n"
                              "# the splash is on\n"
                              "ShowSplash = 1   \n"
                              "Extra=%U00E9\n"
                              "CommandLine=old ; note\n";
    writeFile(file, before);
    EXPECT_EQ(store.GetSetting("Quillon", "Settings", "CommandLine"), "old");
    EXPECT_EQ(store.GetSetting("Quillon", "Other", "CommandLine"), "not ours");
    EXPECT_EQ(store.GetSetting("Quillon", "General", "top", "x"), "x"); // keys outside a section are apart

    store.SaveSetting("Quillon", "Settings", "CommandLine", "/p a,b.ttf");
    store.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
    store.SaveSetting("Quillon", "Settings", "DefaultViewer", "1");
    QByteArray after = before;
    after.replace("CommandLine=old ; note", "CommandLine=\"/p a,b.ttf\"\nDefaultViewer=1");
    after.replace("ShowSplash = 1   ", "ShowSplash = 0   ");
    EXPECT_EQ(contents(file), after);
    EXPECT_TRUE(store.damagedFile().isEmpty());
}

TEST(IniSettingsStore, ValuesReadAsQSettingsReadsThemBothWays)
{
    const QStringList values{"",
                             " lead and trail ",
                             "a,b;c=d",
                             "@at",
                             "tab\there \\back \"quote\"",
                             QString("ctl") + QChar(1) + "abc",
                             QString("c:\\fonts\\fv.exe %1") +
                                 QChar(0), // a remembered command and its terminator
                             QString::fromUtf8("caf\xc3\xa9 \xe4\xb8\xad"),
                             "line\nbreak"};
    // The bytes of a file name that is not UTF-8: QSettings itself could not write them.
    const QString bytes = fromNativeBytes("/p bad\xff\xfe.ttf");

    QTemporaryDir ours;
    IniSettingsStore store(ours.path());
    for (int i = 0; i <= values.size(); ++i)
        store.SaveSetting("Quillon", "Settings", QString("K%1").arg(i),
                          i < values.size() ? values[i] : bytes);
    QSettings qt(store.fileFor("Quillon"), QSettings::IniFormat);
    for (int i = 0; i <= values.size(); ++i) {
        const QString expected = i < values.size() ? values[i] : bytes;
        EXPECT_EQ(store.GetSetting("Quillon", "Settings", QString("K%1").arg(i)), expected) << i;
        EXPECT_EQ(qt.value(QString("Settings/K%1").arg(i)).toString(), expected) << i;
    }

    QTemporaryDir theirs;
    IniSettingsStore reader(theirs.path());
    {
        QDir().mkpath(QFileInfo(reader.fileFor("Quillon")).path());
        QSettings writer(reader.fileFor("Quillon"), QSettings::IniFormat);
        for (int i = 0; i < values.size(); ++i) writer.setValue(QString("Settings/K%1").arg(i), values[i]);
    }
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(reader.GetSetting("Quillon", "Settings", QString("K%1").arg(i)), values[i]) << i;
    EXPECT_TRUE(reader.damagedFile().isEmpty());
}

TEST(IniSettingsStore, ADamagedFileIsKeptByteForByteAndReadsAsDefaults)
{
    QByteArray noise(3000, '\0');
    QRandomGenerator random(14);
    for (char& c : noise) c = static_cast<char>(random.bounded(256));
    const QByteArray damages[] = {
        "[Settings]\nShowSplash=0\nCommandLine=bad\xff\xfe.ttf\n", // not UTF-8
        noise,
        "[Settings\nShowSplash=0\n",                      // a section without its bracket
        "[Settings]\nShowSplash=0\nCommandLine=\"open\n", // a value that runs on into the next lines
        "[Settings]\nShowSplash=0\nnot a setting\n",
    };
    for (const QByteArray& damage : damages) {
        QTemporaryDir folder;
        IniSettingsStore store(folder.path());
        const QString file = store.fileFor("Quillon");
        writeFile(file, damage);
        EXPECT_EQ(store.GetSetting("Quillon", "Settings", "ShowSplash", "1"), "1")
            << damage.left(40).constData();
        store.SaveSetting("Quillon", "Settings", "CommandLine", "x.ttf");
        EXPECT_EQ(contents(file), damage) << damage.left(40).constData();
        EXPECT_EQ(store.damagedFile(), file);
    }
}

TEST(IniSettingsStore, SettingsThatAreNoRegularFileOrTooLargeAreNeitherReadNorWritten)
{
    // A FIFO would hang the start-up, /dev/zero never end the read, a huge file cost seconds and memory.
    const auto setUp = [](const QString& file, int kind) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (kind == 0) return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
        if (kind == 1) return QFile::link("/dev/zero", file);
        if (kind == 2) return QDir().mkpath(file);
        QFile big(file);
        return big.open(QIODevice::WriteOnly) && big.resize((qint64{1} << 20) + 1);
    };
    for (int kind = 0; kind < 4; ++kind) {
        QTemporaryDir folder;
        IniSettingsStore store(folder.path());
        const QString file = store.fileFor("Quillon");
        ASSERT_TRUE(setUp(file, kind)) << kind;
        EXPECT_EQ(store.GetSetting("Quillon", "Settings", "ShowSplash", "1"), "1") << kind;
        EXPECT_EQ(store.damagedFile(), file) << kind;
        store.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
        EXPECT_FALSE(store.saveProblem().isEmpty()) << kind;
        const QFileInfo after(file);
        EXPECT_TRUE(kind == 1 ? after.isSymLink() : !after.isFile() || after.size() == (qint64{1} << 20) + 1)
            << kind;
    }
}
