// The program's entry: builds the Linux platform and hands it to the start-up.
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LocalInstanceChannel.h"
#include "shell/Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setDesktopFileName(QStringLiteral("org.quillon.Quillon"));
    quillon::platform::LinuxPlatform machine;
    const QString program = quillon::exeShortPathFor(QApplication::applicationFilePath());
    machine.associations().setOwnCommands(program + QStringLiteral(" %1"), program + QStringLiteral(" /p %1"));
    quillon::platform::LocalInstanceChannel channel(QStringLiteral("quillon"));
    quillon::Main start(machine.platform(), channel);
    const int status = start.start(QApplication::arguments().mid(1), QApplication::applicationFilePath());
    return status >= 0 ? status : QApplication::exec();
}
