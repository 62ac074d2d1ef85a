// Printing through a real CUPS server of the test's own: two file-backed queues, one of them described as
// the reserved "Rendering Subsystem". The printer setup dialog (run in a child copy of this program, so that
// its print library talks to the private server from the start) must offer only the other queue and the PDF
// file, and three copies must reach that queue as a single job of three pages. Skipped where CUPS is not
// installed.
#include "controls/Tallyfield.h"
#include "platform/linux/printing/LinuxPrinters.h"
#include "printing/PrinterSetup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

using namespace quillon;

namespace {

const char kChildFlag[] = "QUILLON_CUPS_CHILD";

// A PPD whose only filter hands the PDF through unchanged, so the queue's file receives what Qt sent.
// Its imageable area leaves 18 points all round, which the page must be laid out from.
const char kPpd[] = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PROOF.PPD"
*Manufacturer: "Test"
*Product: "(Proof)"
*ModelName: "Test Proof Printer"
*ShortNickName: "Proof Printer"
*NickName: "Test Proof Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 passthrough"
*OpenUI *PageSize/Media Size: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 18 577 824"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*DefaultResolution: 300dpi
)ppd";

QString findTool(const QString& name)
{
    const QStringList dirs = {"/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/lib/cups/daemon"};
    const QString found = QStandardPaths::findExecutable(name, dirs);
    return found.isEmpty() ? QStandardPaths::findExecutable(name) : found;
}

bool writeFile(const QString& path, const QByteArray& data, QFile::Permissions permissions = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        return false;
    file.close();
    return permissions ? file.setPermissions(permissions) : true;
}

class PrivateCups {
public:
    QTemporaryDir root{QDir::tempPath() + "/qcups-XXXXXX"}; // short: the socket path has a length limit
    QProcess daemon;
    QString socket;

    ~PrivateCups()
    {
        if (daemon.state() != QProcess::NotRunning) {
            daemon.terminate();
            if (!daemon.waitForFinished(5000)) daemon.kill();
            daemon.waitForFinished(2000);
        }
    }

    QString path(const QString& name) const { return root.filePath(name); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CUPS_SERVER", socket);
        return env;
    }

    /// Runs a CUPS command against this server; returns its standard output, or nothing when it failed.
    std::optional<QString> run(const QString& tool, const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(findTool(tool), args);
        if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            ADD_FAILURE() << tool.toStdString() << " " << args.join(' ').toStdString() << ": "
                          << p.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

    QString errorLog() const
    {
        QFile log(path("log/error_log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(3000)) : QString();
    }

    void start()
    {
        ASSERT_TRUE(root.isValid());
        for (const char* dir :
             {"conf", "spool", "state", "cache", "tmp", "log", "out", "bin/filter", "bin/daemon"})
            ASSERT_TRUE(QDir(root.path()).mkpath(dir));
        // When the server runs as root its filters run as another user, who must reach these folders.
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                          QFile::ExeOther;
        const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(root.path(), readable);
        QFile::setPermissions(path("out"), open);
        QFile::setPermissions(path("tmp"), open);
        for (const char* dir : {"bin", "bin/filter", "bin/daemon"})
            QFile::setPermissions(path(dir), readable);

        socket = path("cups.sock");
        ASSERT_TRUE(writeFile(path("bin/filter/passthrough"),
                              "#!/bin/sh\nif [ -n \"$6\" ]; then exec cat \"$6\"; else exec cat; fi\n",
                              readable));
        ASSERT_TRUE(QFile::link(findTool("cups-exec"), path("bin/daemon/cups-exec")));
        ASSERT_TRUE(writeFile(path("proof.ppd"), kPpd));

        QByteArray conf = "Listen " + socket.toUtf8() +
                          "\nLogLevel info\nWebInterface No\nBrowsing No\n"
                          "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                          // Anyone may add queues: the test need not be root or in the printer admin group.
                          "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        QByteArray files;
        for (const auto& [key, dir] : {std::pair{"ServerRoot", "conf"},
                                       {"RequestRoot", "spool"},
                                       {"StateDir", "state"},
                                       {"CacheDir", "cache"},
                                       {"TempDir", "tmp"},
                                       {"ServerBin", "bin"}})
            files += QByteArray(key) + " " + path(dir).toUtf8() + "\n";
        for (const auto& [key, file] : {std::pair{"ErrorLog", "log/error_log"},
                                        {"AccessLog", "log/access_log"},
                                        {"PageLog", "log/page_log"}})
            files += QByteArray(key) + " " + path(file).toUtf8() + "\n";
        files += "DataDir /usr/share/cups\nFileDevice Yes\n";
        if (::geteuid() != 0) {
            // An ordinary user's server runs its filters as that user.
            files += "User " + qgetenv("USER") + "\n";
        }
        ASSERT_TRUE(writeFile(path("conf/cupsd.conf"), conf));
        ASSERT_TRUE(writeFile(path("conf/cups-files.conf"), files));

        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.start(findTool("cupsd"),
                     {"-f", "-c", path("conf/cupsd.conf"), "-s", path("conf/cups-files.conf")});
        ASSERT_TRUE(daemon.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(socket) && daemon.state() == QProcess::Running && clock.elapsed() < 10000)
            QThread::msleep(50);
        ASSERT_TRUE(QFile::exists(socket))
            << "cupsd did not start: " << daemon.readAll().toStdString() << errorLog().toStdString();
    }

    void addQueue(const QString& name, const QString& description)
    {
        ASSERT_TRUE(run("lpadmin", {"-p", name, "-D", description, "-v",
                                    "file://" + path("out/" + name + ".prn"), "-P", path("proof.ppd"), "-E"})
                        .has_value());
    }

    /// Waits until no job is pending; returns the completed jobs, one "queue-id ..." line each.
    QStringList completedJobs()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000 &&
               !run("lpstat", {"-W", "not-completed", "-o"}).value_or(QString()).trimmed().isEmpty())
            QThread::msleep(100);
        return run("lpstat", {"-W", "completed", "-o"}).value_or(QString()).split('\n', Qt::SkipEmptyParts);
    }
};

int pdfPages(const QString& file)
{
    QProcess p;
    p.start("pdfinfo", {file});
    if (!p.waitForFinished(20000)) return -1;
    for (const QString& line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

// The top left of the first word of the first page, points from the paper's top left.
QPointF firstWord(const QString& file)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", file, "-"});
    if (!p.waitForFinished(20000)) return {-1, -1};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression word(QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)")re"));
    const QRegularExpressionMatch m = word.match(html);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

} // namespace

TEST(PrintCups, ThreeCopiesFromTheDialogGoToTheChosenQueueAsOneJob)
{
    for (const char* tool : {"cupsd", "lpadmin", "lpstat", "cups-exec"})
        if (findTool(tool).isEmpty())
            GTEST_SKIP() << "CUPS is not installed (" << tool
                         << " is missing): the private print server test does not run";
    PrivateCups cups;
    ASSERT_NO_FATAL_FAILURE(cups.start());
    ASSERT_NO_FATAL_FAILURE(cups.addQueue("Rendering_Subsystem", PrinterSetup::kHiddenPrinter));
    ASSERT_NO_FATAL_FAILURE(cups.addQueue("Proofs", "Proof printer"));

    // The dialog runs in a fresh copy of this program that knows only the private server.
    QProcess child;
    QProcessEnvironment env = cups.environment();
    env.insert(kChildFlag, "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=PrintCupsChild.*"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString childOutput = QString::fromLocal8Bit(child.readAll());
    ASSERT_EQ(child.exitCode(), 0) << childOutput.toStdString();
    ASSERT_TRUE(childOutput.contains("[  PASSED  ] 1 test")) << childOutput.toStdString();

    const QStringList jobs = cups.completedJobs();
    ASSERT_EQ(jobs.size(), 1) << jobs.join('\n').toStdString() << cups.errorLog().toStdString();
    EXPECT_TRUE(jobs.front().startsWith("Proofs-")) << jobs.front().toStdString();
    EXPECT_FALSE(QFile::exists(cups.path("out/Rendering_Subsystem.prn")));
    EXPECT_EQ(pdfPages(cups.path("out/Proofs.prn")), 3);
    // The heading stands at (60, 120) twips from the printable area, which begins 18 points in.
    const QPointF heading = firstWord(cups.path("out/Proofs.prn"));
    EXPECT_NEAR(heading.x(), 18 + 3, 0.5);
    EXPECT_NEAR(heading.y(), 18 + 6, 0.5);
}

// Run only as the child of the test above, against its private server.
TEST(PrintCupsChild, DISABLED_ChooseTheQueueAndPrintThreeCopies)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty(kChildFlag));
    platform::LinuxPrinters printers([](const QString&) { return QString(); });
    const QStringList names = printers.deviceNames();
    EXPECT_TRUE(names.contains(PrinterSetup::kHiddenPrinter)) << names.join(", ").toStdString();

    PrinterSetup::Owner owner;
    owner.frame = QRect(100, 100, 417, 421);
    owner.face = [] { return QStringLiteral("DejaVu Sans"); };
    owner.details = [] { return QStringLiteral("Is a TrueType font\r\nInstalled: True"); };
    PrinterSetup dialog(printers, owner);
    QStringList listed;
    for (int i = 0; i < dialog.Combo1->count(); ++i) listed << dialog.Combo1->itemText(i);
    EXPECT_EQ(listed, QStringList({platform::LinuxPrinters::kPdfDeviceName, "Proof printer"}));

    dialog.Combo1->setCurrentText("Proof printer");
    dialog.Tallyfield1->setValue(3);
    QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    EXPECT_EQ(printers.currentDeviceName(), "Proof printer");
}
