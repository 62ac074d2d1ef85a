// --help and --version of both programs, run as a user runs them from a terminal: they answer on standard
// output and end, with no display to reach, writing no setting (a stored command line would be what a later
// hand-off acts on) and opening no hand-off channel.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Answer {
    int exitCode = -1;
    QString out;
};

Answer ask(const QString& program, const QString& option, const QTemporaryDir& home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No window system at all: a program that built its window, or even its application object, would fail.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", home.path());
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("QUILLON_BINARY_DIR") + '/' + program, {option});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput())};
}

TEST(TerminalAnswer, HelpAndVersionAnswerWithoutDisplayOrSettings)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    for (const QString& program : {QStringLiteral("quillon"), QStringLiteral("quillon-inspect")}) {
        const Answer version = ask(program, "--version", home);
        EXPECT_EQ(version.exitCode, 0) << qPrintable(program);
        EXPECT_TRUE(QRegularExpression("^" + program + " \\d+\\.\\d+\n$").match(version.out).hasMatch())
            << qPrintable(version.out);
        const Answer help = ask(program, "--help", home);
        EXPECT_EQ(help.exitCode, 0) << qPrintable(program);
        EXPECT_TRUE(help.out.startsWith("usage: " + program)) << qPrintable(help.out);
        EXPECT_TRUE(help.out.contains("--version"));
    }
    // Nothing written: no settings folder, no socket or lock in the runtime folder.
    EXPECT_TRUE(
        QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

} // namespace
