// Feeds bytes to the translation between desktop entries and shell commands, both ways:
// - as another program's desktop entry, whose Exec line becomes the command the options show;
// - as a command (the program's own, which may sit in any folder) that becomes the program's desktop
//   entries: what the program writes must be a file the desktop's rules accept, whose Exec line and
//   record of kept openers read back as meant, and whose command splits into the same words.
#include "FuzzCheck.h"

#include "platform/ShellCommand.h"
#include "platform/linux/settings/KeyFileLines.h"
#include "platform/linux/xdg/DesktopEntryText.h"

#include <cstdint>

using quillon::fuzz::check;
using quillon::platform::KeyFileLines;
namespace desktop = quillon::platform::desktop;

namespace {

const QString kGroup = QStringLiteral("Desktop Entry");

// Characters whose meaning the Exec line's quoting changes: a command holding them is not expected to
// come back word for word (the command the options show keeps the quotes and escapes as the entry has them).
bool plainWords(const QStringList& words)
{
    for (const QString& word : words) {
        if (word == QStringLiteral("%1")) continue;
        for (const QChar c : word)
            if (QStringLiteral("\"\\$`%").contains(c)) return false;
    }
    return true;
}

void checkOwnEntries(const QString& command, const QStringList& keptOpeners)
{
    const QString exec = desktop::execFromCommand(command);
    if (exec.isEmpty()) {
        check(quillon::platform::commandProgram(command).isEmpty(),
              "a command with a program has no Exec line", command);
        return;
    }
    const auto open = KeyFileLines::parse(desktop::openEntry(command));
    check(open.has_value(), "the program's desktop entry is refused", command);
    check(open->value(kGroup, QStringLiteral("Exec")) == KeyFileLines::unescape(exec),
          "the entry's Exec line does not read back", exec);

    const auto print = KeyFileLines::parse(desktop::printEntry(command, keptOpeners));
    check(print.has_value(), "the program's print entry is refused", command);
    if (!keptOpeners.isEmpty()) {
        const QStringList read = desktop::keptOpenersOf(*print);
        check(read == keptOpeners, "the kept openers do not read back",
              keptOpeners.join(QLatin1Char('|')) + QStringLiteral(" -> ") + read.join(QLatin1Char('|')));
    }

    const QStringList words = quillon::platform::splitCommand(command);
    if (plainWords(words)) {
        const QString back = desktop::commandFromExec(KeyFileLines::unescape(exec));
        check(quillon::platform::splitCommand(back) == words,
              "the command does not come back from its Exec line", command + QStringLiteral(" -> ") + back);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const auto entry = KeyFileLines::parse(bytes)) {
        const QString exec = entry->value(kGroup, QStringLiteral("Exec")).value_or(QString());
        const QString command = desktop::commandFromExec(exec);
        // What the options show can be stored as an association again.
        (void)desktop::execFromCommand(command);
    }

    // A command is a line of text: its first line here; the openers kept for the print entry, "type=ID"
    // items, come from the user's association lists, so from the lines after it.
    QString text = QString::fromUtf8(bytes);
    text.remove(QChar(0)); // a command is a C string on its way here
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    const QString command = newline < 0 ? text : text.left(newline);
    QStringList kept;
    if (newline >= 0)
        for (const QString& item :
             KeyFileLines::listItems(text.mid(newline + 1).replace(QLatin1Char('\n'), QLatin1Char(';'))))
            kept.append(item);
    checkOwnEntries(command, kept);
    return 0;
}
