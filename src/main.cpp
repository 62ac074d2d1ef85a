// The program's entry: builds the Linux platform and hands it to the start-up.
#include "shell/Main.h"
#include "platform/NativeText.h"
#include "platform/WindowActivation.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/instance/LocalInstanceChannel.h"
#include "shell/ProgramInfo.h"

#include <QApplication>

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: quillon [FILE | /p FILE]\n"
    "Shows the installed fonts. FILE selects the face of an installed font file; /p FILE also opens the\n"
    "printer dialog for it. A second start hands its command line to the copy already running.\n"
    "  --help     show this text and end\n"
    "  --version  show the version and end\n";

} // namespace

int main(int argc, char** argv)
{
    // The arguments are the program's own, taken as bytes before Qt sees them: Qt would take "-reverse" or
    // "-style x" (which may be file names) as its options, and a name that is not UTF-8 would lose bytes.
    const QStringList arguments = quillon::platform::argumentsFrom(argc, argv);
    // Answered before the window system is reached and before the command line is stored or handed over.
    if (const auto answer =
            quillon::terminalAnswer(arguments, QStringLiteral("quillon"), QString::fromUtf8(kUsage))) {
        std::fputs(answer->toUtf8().constData(), stdout);
        return 0;
    }
    // In a Wayland session with X11 beside it the program runs on X11, where it can place its windows and
    // come forward on a later start (README, "Wayland"); QT_QPA_PLATFORM still decides when the user sets it.
    if (const QString preferred = quillon::platform::preferredQtPlatform(); !preferred.isEmpty())
        qputenv("QT_QPA_PLATFORM", preferred.toUtf8());
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setDesktopFileName(QStringLiteral("org.quillon.Quillon"));
    quillon::platform::LinuxPlatform machine;
    const QString program = quillon::exeShortPathFor(QApplication::applicationFilePath());
    machine.associations().setOwnCommands(program + QStringLiteral(" %1"),
                                          program + QStringLiteral(" /p %1"));
    quillon::platform::LocalInstanceChannel channel(QStringLiteral("quillon"));
    quillon::Main start(machine.platform(), channel);
    const int status = start.start(arguments, QApplication::applicationFilePath());
    return status >= 0 ? status : QApplication::exec();
}
