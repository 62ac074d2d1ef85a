// The program's entry: builds the Linux platform and hands it to the application shell.
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quillon::platform::LinuxPlatform machine;
    (void)machine;
    return 0;
}
