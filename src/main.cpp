// The program's entry: builds the Linux platform and hands it to the start-up.
#include "platform/NativeText.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LocalInstanceChannel.h"
#include "shell/Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The arguments are the program's own, taken as bytes before Qt sees them: Qt would take "-reverse" or
    // "-style x" (which may be file names) as its options, and a name that is not UTF-8 would lose bytes.
    const QStringList arguments = quillon::platform::argumentsFrom(argc, argv);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setDesktopFileName(QStringLiteral("org.quillon.Quillon"));
    quillon::platform::LinuxPlatform machine;
    const QString program = quillon::exeShortPathFor(QApplication::applicationFilePath());
    machine.associations().setOwnCommands(program + QStringLiteral(" %1"), program + QStringLiteral(" /p %1"));
    quillon::platform::LocalInstanceChannel channel(QStringLiteral("quillon"));
    quillon::Main start(machine.platform(), channel);
    const int status = start.start(arguments, QApplication::applicationFilePath());
    return status >= 0 ? status : QApplication::exec();
}
