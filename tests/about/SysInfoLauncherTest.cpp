// Reading the system information key and starting the tool it names, over a registry in memory.
#include "about/SysInfoLauncher.h"
#include "RecordingShell.h"
#include "platform/MemoryRegistry.h"
#include "platform/linux/registry/SystemInfoView.h"
#include "platform/linux/xdg/DesktopShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>

using namespace quillon;
using namespace quillon::platform;

namespace {

const std::string kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

void put(MemoryRegistry& registry, const std::string& key, const std::string& name, DWORD type,
         const std::string& data)
{
    HKEY handle = 0;
    ASSERT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(registry.RegSetValueEx(handle, name, type, reinterpret_cast<const unsigned char*>(data.data()),
                                     static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    registry.RegCloseKey(handle);
}

// A key whose values the user may read but not write, like most of HKLM.
class ReadOnlyView final : public RegistryView {
public:
    explicit ReadOnlyView(std::vector<RegistryValue> values) : values_(std::move(values)) {}
    std::vector<RegistryValue> values() override { return values_; }

private:
    std::vector<RegistryValue> values_;
};

void makeExecutable(const QString& path, const QByteArray& script)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TEST(GetKeyValue, ReadsTextWithoutItsTerminatorFromAKeyOpenForReadingOnly)
{
    MemoryRegistry registry;
    registry.mount(HKEY_LOCAL_MACHINE, kMsinfo,
                   std::make_unique<ReadOnlyView>(
                       std::vector<RegistryValue>{{"PATH", REG_SZ, std::string("/usr/bin/tool\0", 14)},
                                                  {"Count", REG_DWORD, std::string("\x2a\x01\0\0", 4)},
                                                  {"Blob", REG_BINARY, "xyz"}}));
    test::RecordingShell shell;
    SysInfoLauncher launcher(registry, shell);
    QString value = QStringLiteral("before");
    EXPECT_TRUE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "path", value));
    EXPECT_EQ(value, QStringLiteral("/usr/bin/tool"));
    EXPECT_TRUE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Count", value));
    EXPECT_EQ(value, QStringLiteral("298"));
    value = QStringLiteral("kept");
    EXPECT_TRUE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Blob", value)); // other types: unchanged
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_FALSE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Missing", value));
    EXPECT_EQ(value, QString());
    value = QStringLiteral("x");
    EXPECT_FALSE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere", "PATH", value));
    EXPECT_EQ(value, QString());
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(GetKeyValue, AValueFillingTheBufferStaysWholeAndALongerOneIsNotRead)
{
    MemoryRegistry registry;
    put(registry, kMsinfo, "Exact", REG_SZ, std::string(1024, 'a'));
    put(registry, kMsinfo, "Terminated", REG_SZ, std::string(1023, 'b') + '\0');
    put(registry, kMsinfo, "Long", REG_SZ, std::string(1025, 'c'));
    test::RecordingShell shell;
    SysInfoLauncher launcher(registry, shell);
    QString value;
    EXPECT_TRUE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Exact", value));
    EXPECT_EQ(value, QString(1024, QLatin1Char('a')));
    EXPECT_TRUE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Terminated", value));
    EXPECT_EQ(value, QString(1023, QLatin1Char('b')));
    value = QStringLiteral("x");
    EXPECT_FALSE(launcher.GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "Long", value));
    EXPECT_EQ(value, QString());
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(StartSysInfo, StartsThePathValueAndNeverFallsBackWhenItFails)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile(folder.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly));
    MemoryRegistry registry;
    put(registry, kMsinfo, "PATH", REG_SZ, std::string("/opt/tool\0", 10));
    put(registry, kLocation, "MSINFO", REG_SZ, folder.path().toStdString());
    test::RecordingShell shell;
    SysInfoLauncher launcher(registry, shell);
    EXPECT_TRUE(launcher.StartSysInfo());
    EXPECT_EQ(shell.started, QStringList{QStringLiteral("/opt/tool")});

    shell.started.clear();
    shell.startSucceeds = false; // a path that cannot be started
    EXPECT_FALSE(launcher.StartSysInfo());
    EXPECT_EQ(shell.started, QStringList{QStringLiteral("/opt/tool")});
}

TEST(StartSysInfo, TheFolderValueNeedsTheProgramInIt)
{
    QTemporaryDir folder;
    MemoryRegistry registry;
    put(registry, kLocation, "MSINFO", REG_SZ, folder.path().toStdString() + '\0');
    test::RecordingShell shell;
    SysInfoLauncher launcher(registry, shell);
    EXPECT_FALSE(launcher.StartSysInfo()); // a folder without the program: nothing is started
    EXPECT_TRUE(shell.started.isEmpty());

    ASSERT_TRUE(
        QDir(folder.path()).mkdir(QStringLiteral("MSINFO32.EXE"))); // a folder of that name is no file
    EXPECT_FALSE(launcher.StartSysInfo());
    EXPECT_TRUE(shell.started.isEmpty());
    ASSERT_TRUE(QDir(folder.path()).rmdir(QStringLiteral("MSINFO32.EXE")));

    ASSERT_TRUE(QFile(folder.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly));
    EXPECT_TRUE(launcher.StartSysInfo());
    EXPECT_EQ(shell.started, QStringList{folder.filePath("MSINFO32.EXE")});

    MemoryRegistry empty;
    SysInfoLauncher nothing(empty, shell);
    EXPECT_FALSE(nothing.StartSysInfo());
}

TEST(DesktopShell, StartsOnlyAnExecutableFileAndLetsItRunOnItsOwn)
{
    QTemporaryDir folder;
    DesktopShell shell;
    const QString marker = folder.filePath("ran");
    const QString tool = folder.filePath("tool");
    makeExecutable(tool, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    const QString plain = folder.filePath("plain");
    ASSERT_TRUE(QFile(plain).open(QIODevice::WriteOnly));

    EXPECT_FALSE(shell.startProgram(plain));                   // not executable
    EXPECT_FALSE(shell.startProgram(folder.filePath("none"))); // absent
    EXPECT_FALSE(shell.startProgram(folder.path()));           // a folder
    EXPECT_FALSE(shell.startProgram(QStringLiteral("sh")));    // a bare name is not searched for
    EXPECT_FALSE(shell.startProgram(QString()));
    ASSERT_TRUE(shell.startProgram(tool));
    for (int i = 0; i < 100 && !QFileInfo::exists(marker); ++i) QThread::msleep(50);
    EXPECT_TRUE(QFileInfo::exists(marker));
}

TEST(DesktopShell, ANewMessageWithNoMailProgramSetUpFails)
{
    // A desktop that names no mail program: the new message has nowhere to go.
    QTemporaryDir home;
    const QByteArray keys[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"};
    QList<std::optional<QByteArray>> saved;
    for (const QByteArray& key : keys) {
        saved << (qEnvironmentVariableIsSet(key.constData()) ? std::optional(qgetenv(key.constData()))
                                                             : std::nullopt);
        qputenv(key.constData(), home.filePath(QString::fromLatin1(key)).toLocal8Bit());
    }
    DesktopShell shell;
    EXPECT_FALSE(shell.openUrl(QUrl(QStringLiteral("mailto:someone@example.com?subject=Hello"))));
    EXPECT_FALSE(shell.openUrl(QUrl()));
    for (int i = 0; i < 4; ++i) {
        if (saved[i])
            qputenv(keys[i].constData(), *saved[i]);
        else
            qunsetenv(keys[i].constData());
    }
}

TEST(SystemInfoView, NamesTheFirstToolFoundInOrderOfPreference)
{
    QTemporaryDir folder;
    SystemInfoView none({folder.path()});
    EXPECT_TRUE(none.values().empty());

    makeExecutable(folder.filePath("cpu-x"), "#!/bin/sh\n");
    makeExecutable(folder.filePath("kinfocenter"), "#!/bin/sh\n");
    SystemInfoView view({folder.path()});
    const auto values = view.values();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "PATH");
    EXPECT_EQ(values[0].type, REG_SZ);
    EXPECT_EQ(values[0].data, folder.filePath("kinfocenter").toStdString() + '\0');

    // Mounted read-only, the About box's read still works.
    MemoryRegistry registry;
    registry.mount(HKEY_LOCAL_MACHINE, kMsinfo, std::make_unique<SystemInfoView>(QStringList{folder.path()}));
    test::RecordingShell shell;
    QString value;
    EXPECT_TRUE(SysInfoLauncher(registry, shell).GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfo, "PATH", value));
    EXPECT_EQ(value, folder.filePath("kinfocenter"));
}
