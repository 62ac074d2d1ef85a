// quillon-inspect: the command-line companion. Each command is a function in this folder; this file only
// dispatches. Output is plain text, one item per line; errors go to standard error with exit status 2.
#include "tools/inspect/Commands.h"

#include "platform/linux/LinuxPlatform.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(quillon::platform::Platform&, const QStringList&);
};

const Command kCommands[] = {
    {"faces", "faces", quillon::inspect::faces},
    {"records", "records", quillon::inspect::records},
    {"print", "print FACE --pdf OUT [--copies N]", quillon::inspect::print},
    {"font", "font FILE", quillon::inspect::font},
    {"details", "details FACE", quillon::inspect::details},
    {"sizes", "sizes FACE", quillon::inspect::sizes},
};

int usage()
{
    std::fputs("usage: quillon-inspect COMMAND [ARGS]\ncommands:\n", stderr);
    for (const Command& c : kCommands) std::fprintf(stderr, "  %s\n", c.usage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts are measured and drawn the way the screen does it, without needing a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) return usage();
    QStringList args;
    for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    quillon::platform::LinuxPlatform machine;
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(machine.platform(), args);
    return usage();
}
