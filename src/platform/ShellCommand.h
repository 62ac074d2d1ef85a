#pragma once
// Shell command texts as the file associations store them: a program, then its arguments, separated by
// blanks; an argument holding blanks is wrapped in double quotes; "%1" stands for the file. A command
// stored by another program may end with NUL terminators, which are not part of the command.

#include <QString>
#include <QStringList>

namespace quillon::platform {

/// The command without the NUL terminators and blanks at its end.
QString commandWithoutTerminator(const QString& command);

/// The command's words: quotes group blanks into one word and are removed; a quote left open runs to the
/// end. Empty for a command of blanks only.
QStringList splitCommand(const QString& command);

/// The program the command starts, or empty when it starts none: no words at all, an empty quoted first
/// word, a first word that is a placeholder such as "%1", or a switch such as "/p" (one or two letters
/// after a slash, as the program's own print command has after its path). A command without a program must
/// never be written as an association: the shell would try to run the font file itself.
QString commandProgram(const QString& command);

} // namespace quillon::platform
