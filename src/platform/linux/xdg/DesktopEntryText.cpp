#include "platform/linux/xdg/DesktopEntryText.h"

#include "platform/ShellCommand.h"

namespace quillon::platform::desktop {

namespace {

// Characters that make the desktop's command parser need the argument in double quotes.
bool needsQuotes(const QString& word)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (word.isEmpty()) return true;
    // Control characters too: a key file reader trims blanks such as \v and \f at a value's ends, and only
    // quotes keep them in the word.
    for (const QChar c : word)
        if (reserved.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

QString quoteWord(const QString& word)
{
    QString text = word;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes(word)) return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The key file's own escapes, applied to a whole value.
QString escapeValue(const QString& value)
{
    QString text;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            text += QStringLiteral("\\\\");
            break;
        case '\n':
            text += QStringLiteral("\\n");
            break;
        case '\t':
            text += QStringLiteral("\\t");
            break;
        case '\r':
            text += QStringLiteral("\\r");
            break;
        default:
            text += c;
        }
    }
    return text;
}

bool isDroppedFieldCode(const QString& word)
{
    static const QStringList codes{QStringLiteral("%i"), QStringLiteral("%c"), QStringLiteral("%k"),
                                   QStringLiteral("%d"), QStringLiteral("%D"), QStringLiteral("%n"),
                                   QStringLiteral("%N"), QStringLiteral("%v"), QStringLiteral("%m")};
    return codes.contains(word);
}

QString withFieldCodes(const QString& word)
{
    QString text;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word.at(i) != QLatin1Char('%') || i + 1 == word.size()) {
            text += word.at(i);
            continue;
        }
        const QChar code = word.at(++i);
        if (code == QLatin1Char('%'))
            text += QLatin1Char('%');
        else if (QStringLiteral("fFuU").contains(code))
            text += QStringLiteral("%1");
    }
    return text;
}

QByteArray entryText(const QStringList& lines)
{
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

} // namespace

QString mimeTypeFor(const QString& extension)
{
    if (extension == QStringLiteral("fon")) return kFonType;
    if (extension == QStringLiteral("otf")) return QStringLiteral("font/otf");
    if (extension == QStringLiteral("pfm")) return kPfmType;
    if (extension == QStringLiteral("ttc")) return QStringLiteral("font/collection");
    if (extension == QStringLiteral("ttf")) return kTrueTypeType;
    return QString();
}

QStringList fontMimeTypes()
{
    QStringList types;
    for (const char* extension : {"fon", "otf", "pfm", "ttc", "ttf"})
        types.append(mimeTypeFor(QLatin1String(extension)));
    return types;
}

QString execFromCommand(const QString& command)
{
    if (commandProgram(command).isEmpty()) return QString();
    QStringList words;
    for (const QString& word : splitCommand(command))
        words.append(word == QStringLiteral("%1") ? QStringLiteral("%f") : quoteWord(word));
    return escapeValue(words.join(QLatin1Char(' ')));
}

QString commandFromExec(const QString& exec)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool escaped = false;
    const auto finish = [&] {
        if (!word.isEmpty() && !isDroppedFieldCode(word)) words.append(withFieldCodes(word));
        word.clear();
    };
    for (const QChar c : exec) {
        if (escaped) {
            escaped = false;
        } else if (quoted && c == QLatin1Char('\\')) {
            escaped = true;
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            finish();
            continue;
        }
        word += c;
    }
    finish();
    return words.join(QLatin1Char(' '));
}

QByteArray openEntry(const QString& command)
{
    return entryText(
        {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"),
         QStringLiteral("Name=Quillon"), QStringLiteral("GenericName=Font Viewer"),
         QStringLiteral("Comment=Look closely at the installed fonts and print sample pages"),
         QStringLiteral("Icon=org.quillon.Quillon"), QStringLiteral("Exec=") + execFromCommand(command),
         QStringLiteral("Terminal=false"), QStringLiteral("Categories=Graphics;Viewer;"),
         QStringLiteral("MimeType=") + fontMimeTypes().join(QLatin1Char(';')) + QLatin1Char(';')});
}

QByteArray printEntry(const QString& command, const QStringList& keptOpeners)
{
    QStringList lines{
        QStringLiteral("[Desktop Entry]"),          QStringLiteral("Type=Application"),
        QStringLiteral("Name=Print with Quillon"),  QStringLiteral("Comment=Print a sample page of the font"),
        QStringLiteral("Icon=org.quillon.Quillon"), QStringLiteral("Exec=") + execFromCommand(command),
        QStringLiteral("Terminal=false"),           QStringLiteral("NoDisplay=true")};
    if (!keptOpeners.isEmpty())
        lines << kKeptOpenersKey + QLatin1Char('=') + escapeValue(keptOpeners.join(QLatin1Char(';'))) +
                     QLatin1Char(';');
    return entryText(lines);
}

QStringList keptOpenersOf(const KeyFileLines& printEntry)
{
    // The record is one escaped list: its items are unescaped once, as listItems does. Unescaping the
    // value first as well would turn an opener's "\\s" into a blank, and the pin made for that opener
    // could not be found to be taken back.
    QString record;
    for (const KeyFileLines::Entry& entry : printEntry.entries(QStringLiteral("Desktop Entry")))
        if (entry.key == kKeptOpenersKey) record = entry.value;
    return KeyFileLines::listItems(record);
}

QByteArray mimePackage()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                             "  <mime-type type=\"application/x-font-fon\">\n"
                             "    <comment>Windows bitmap font</comment>\n"
                             "    <generic-icon name=\"font-x-generic\"/>\n"
                             "    <glob pattern=\"*.fon\"/>\n"
                             "  </mime-type>\n"
                             "  <mime-type type=\"application/x-font-pfm\">\n"
                             "    <comment>Printer font metrics</comment>\n"
                             "    <generic-icon name=\"font-x-generic\"/>\n"
                             "    <glob pattern=\"*.pfm\"/>\n"
                             "  </mime-type>\n"
                             "</mime-info>\n");
}

} // namespace quillon::platform::desktop
