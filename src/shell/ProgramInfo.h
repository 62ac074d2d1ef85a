#pragma once
// What the programs say on the terminal when asked about themselves (--help, --version). It is answered
// before anything else runs: no display is needed, no setting is written and a running copy is not reached,
// so asking for help never hands a command line over or changes what a later hand-off reads.

#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

/// The version the programs report ("1.3").
QString programVersion();

/// The text to print for these arguments (without the program's own path), or nothing when they are a
/// command line to run. Only a sole "--help" or "--version" counts: anything else is a file name, so a
/// font file really called "--help" is still reachable as "./--help". program: the name to show.
/// usage: the usage lines for --help, ending in a newline.
std::optional<QString> terminalAnswer(const QStringList& arguments, const QString& program,
                                      const QString& usage);

} // namespace quillon
