// quillon-inspect: the command-line companion. Each command is a function in this folder; this file only
// dispatches. Output is plain text, one item per line; errors go to standard error with exit status 2.
#include "tools/inspect/Commands.h"

#include "find/FindQuery.h"

#include "platform/NativeText.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/ProgramInfo.h"

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
    {"book", "book --pdf OUT [--text T] [--faces REGEX] [--pages-per-part N]", quillon::inspect::book},
    {"font", "font FILE", quillon::inspect::font},
    {"details", "details FACE", quillon::inspect::details},
    {"sizes", "sizes FACE", quillon::inspect::sizes},
    {"resolve", "resolve FACE", quillon::inspect::resolve},
    {"info", "info FACE|FILE [--text TEXT] [--json]", quillon::inspect::info},
    {"names", "names FILE", quillon::inspect::names},
    {"coverage", "coverage TEXT", quillon::inspect::coverage},
    {"render",
     "render FACE|FILE --text T [--size PT] [--features F] [--axes A] [--script TAG] [--language TAG] "
     "[--index N] [--waterfall] (--png OUT | --pdf OUT | --glyphs)",
     quillon::inspect::render},
    {"find", quillon::find::FindQuery::kUsage, quillon::inspect::find},
    {"chars", "chars FACE|FILE [--block NAME]", quillon::inspect::chars},
    {"install", "install PATH... [--dry-run] [--beside]", quillon::inspect::install},
    {"uninstall", "uninstall PATH...", quillon::inspect::uninstall},
};

QString usageText()
{
    QString text = QStringLiteral("usage: quillon-inspect COMMAND [ARGS]\ncommands:\n");
    for (const Command& c : kCommands) text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.usage));
    text += QStringLiteral("  --help | --version\n");
    return text;
}

int usage()
{
    std::fputs(usageText().toUtf8().constData(), stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts are measured and drawn the way the screen does it, without a display: none is needed, and one
    // that is named but cannot be reached would otherwise end the program before it starts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The arguments as bytes, before Qt could take any of them ("-reverse") for its own options.
    const QStringList all = quillon::platform::argumentsFrom(argc, argv);
    if (const auto answer = quillon::terminalAnswer(all, QStringLiteral("quillon-inspect"), usageText())) {
        std::fputs(answer->toUtf8().constData(), stdout);
        return 0;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    if (argc < 2) return usage();
    const QStringList args = all.mid(1);
    quillon::platform::LinuxPlatform machine;
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(machine.platform(), args);
    return usage();
}
