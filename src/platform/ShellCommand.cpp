#include "platform/ShellCommand.h"

namespace quillon::platform {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

QString commandWithoutTerminator(const QString& command)
{
    qsizetype end = command.size();
    while (end > 0 && (command.at(end - 1).isNull() || isBlank(command.at(end - 1)))) --end;
    return command.left(end);
}

QStringList splitCommand(const QString& command)
{
    const QString text = commandWithoutTerminator(command);
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (isBlank(c) && !quoted) {
            if (inWord) words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord) words.append(word);
    return words;
}

QString commandProgram(const QString& command)
{
    const QStringList words = splitCommand(command);
    if (words.isEmpty()) return QString();
    const QString& first = words.first();
    if (first.trimmed().isEmpty() || first.startsWith(QLatin1Char('%'))) return QString();
    // A switch such as "/p" where the program should be: the program's part of the command is missing.
    if (first.size() <= 3 && first.startsWith(QLatin1Char('/')) && first.mid(1).size() > 0) {
        bool letters = true;
        for (const QChar c : first.mid(1)) letters = letters && c.isLetter();
        if (letters) return QString();
    }
    return first;
}

} // namespace quillon::platform
