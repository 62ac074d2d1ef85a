// A later start of the real program hands its command line to the running copy (this test process,
// running the same start-up code) and ends; the running copy acts on it.
#include "platform/NativeText.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/instance/LocalInstanceChannel.h"
#include "shell/Main.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"
#include "support/QtPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class HandOffTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    std::unique_ptr<platform::LinuxPlatform> machine;
    std::unique_ptr<platform::LocalInstanceChannel> channel;
    std::unique_ptr<Main> first;
    QStringList messages;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("runtime");
        QFile::setPermissions(home.path() + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
        machine = std::make_unique<platform::LinuxPlatform>();
        machine->platform().settings.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
        channel = std::make_unique<platform::LocalInstanceChannel>("quillon");
        first = std::make_unique<Main>(machine->platform(), *channel);
        ASSERT_EQ(first->start({}, QCoreApplication::applicationFilePath()), -1);
        first->viewer()->showMessage = [this](const QString& text, const QString&) { messages << text; };
    }

    void TearDown() override
    {
        if (first && first->viewer()) first->viewer()->close();
    }

    static QString program() { return qEnvironmentVariable("QUILLON_BINARY_DIR") + "/quillon"; }

    /// Starts the real program with arguments and runs this copy's event loop until it ends. rawArgument:
    /// one argument given as bytes, through the shell (QProcess would re-encode it).
    int secondStart(const QStringList& arguments, const QByteArray& rawArgument = {})
    {
        QProcess second;
        if (rawArgument.isEmpty()) {
            second.setProgram(program());
            second.setArguments(arguments);
        } else {
            QString octal;
            for (const char c : rawArgument)
                octal += QString::asprintf("\\%03o", static_cast<unsigned char>(c));
            second.setProgram("/bin/sh");
            second.setArguments({"-c", "exec \"$0\" \"$(printf '" + octal + "')\"", program()});
        }
        second.start();
        QElapsedTimer clock;
        clock.start();
        while (second.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            second.waitForFinished(10);
        }
        EXPECT_EQ(second.state(), QProcess::NotRunning) << "the second start did not end";
        EXPECT_EQ(second.readAllStandardOutput(), QByteArray()); // it shows and says nothing
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }

    QString font(const QString& file) const
    {
        return qEnvironmentVariable("QUILLON_TEST_FONTS") + "/" + file;
    }
};

TEST_F(HandOffTest, APrintStartOnAnInstalledFileSelectsItsFaceAndOpensThePrinterDialog)
{
    Viewer& viewer = *first->viewer();
    const QString path = font("LiberationSans-BoldItalic.ttf");
    // Watch for the printer dialog the next repaint opens, and close it again.
    bool dialogOpened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialogOpened = true;
            dialog->reject();
        }
    });
    watch.start(20);

    EXPECT_EQ(secondStart({"/p", path}), 0);
    EXPECT_EQ(viewer.fontList->text(), "Liberation Sans");
    EXPECT_TRUE(viewer.effect[0]->isChecked());
    EXPECT_TRUE(viewer.effect[1]->isChecked());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(machine->platform().settings.GetSetting("Quillon", "Settings", "CommandLine"),
              ("/p " + path).toLower());

    QElapsedTimer clock;
    clock.start();
    while (viewer.printPending && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(viewer.printPending) << "the repaint did not act on the print request";
    while (!dialogOpened && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(dialogOpened) << "the printer setup dialog did not open";
}

TEST_F(HandOffTest, AFileThatIsNotInstalledGivesTheMessageAndTheFirstFace)
{
    Viewer& viewer = *first->viewer();
    viewer.fontList->setListIndex(3);
    EXPECT_EQ(secondStart({QDir::tempPath() + "/Not-Installed.TTF"}), 0);
    EXPECT_EQ(viewer.fontList->text(), viewer.fontList->itemText(0));
    EXPECT_EQ(messages, QStringList{"The font selected is not registered"});

    // a start without arguments selects the first face, without a message
    viewer.fontList->setListIndex(2);
    EXPECT_EQ(secondStart({}), 0);
    EXPECT_EQ(viewer.fontList->text(), viewer.fontList->itemText(0));
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(HandOffTest, TheArgumentsReachTheRunningCopyAsGivenEvenQtOptionsAndBytesThatAreNotUtf8)
{
    const auto stored = [this] {
        return machine->platform().settings.GetSetting("Quillon", "Settings", "CommandLine");
    };
    EXPECT_EQ(secondStart({"-reverse"}), 0); // a file of that name, not an option for Qt
    EXPECT_EQ(stored(), "-reverse");
    EXPECT_EQ(messages.size(), 1);

    const QByteArray name = QFile::encodeName(QDir::tempPath()) + "/Bad\xff\xfe.ttf";
    EXPECT_EQ(secondStart({}, name), 0);
    EXPECT_EQ(platform::nativeBytes(stored()), name.toLower());
    EXPECT_EQ(messages, QStringList(2, "The font selected is not registered"));
}

TEST_F(HandOffTest, AStartWhoseSettingsCannotBeWrittenStillHandsItsOwnFileOver)
{
    // The later start's settings folder is a file: its command line cannot be saved, yet it reaches the
    // running copy with the hand-off itself.
    Viewer& viewer = *first->viewer();
    const QString blocked = home.path() + "/blocked";
    QDir().mkpath(blocked);
    QFile(blocked + "/Quillon").open(QIODevice::WriteOnly);
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));
    const int status = secondStart({font("DejaVuSerif-Bold.ttf")});
    qputenv("XDG_CONFIG_HOME", config);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(viewer.fontList->text(), "DejaVu Serif");
    EXPECT_TRUE(viewer.effect[0]->isChecked());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(HandOffTest, ARunningCopyThatDoesNotAnswerIsGivenUpOnWithinSecondsAndSaysSo)
{
    // This copy serves no events while the second start waits: as if it were stopped.
    QProcess second;
    QElapsedTimer clock;
    clock.start();
    second.start(program(), QStringList{QDir::tempPath() + "/Not-Installed.ttf"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(second.exitCode(), 1);
    const QByteArray said = second.readAllStandardError();
    EXPECT_TRUE(said.contains("did not answer")) << said.constData();
    // The second start gave up and said so: once this copy runs again, its request is dropped, not acted on.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace
