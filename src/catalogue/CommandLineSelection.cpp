#include "catalogue/CommandLineSelection.h"

namespace quillon {

QString commandLineFileName(const QString& text)
{
    QString name = text;
    for (;;) {
        const qsizetype backslash = name.indexOf(QLatin1Char('\\'));
        const qsizetype slash = name.indexOf(QLatin1Char('/'));
        qsizetype cut = backslash < 0 ? slash : (slash < 0 ? backslash : std::min(backslash, slash));
        if (cut < 0) return name;
        name = name.mid(cut + 1);
    }
}

bool hasPrintSwitch(const QString& commandLine)
{
    if (!commandLine.startsWith(QLatin1String("/p"))) return false;
    return commandLine.size() == 2 || commandLine[2].isSpace();
}

void SelectCommandLineFont(QString& commandLine, const FontCatalogue& catalogue, CommandLineTarget& target)
{
    target.setPrintPending(false);
    if (commandLine.isEmpty()) {
        target.selectFace(0);
        return;
    }
    if (hasPrintSwitch(commandLine)) {
        target.setPrintPending(true);
        commandLine = commandLine.mid(3); // the switch and the one character separating it from the path
    }
    commandLine = commandLineFileName(commandLine);

    int record = -1;
    for (int i = 0; i < catalogue.recordCount(); ++i) {
        if (catalogue.recordFile(i) == commandLine) {
            record = i;
            break;
        }
    }
    if (record < 0) {
        target.selectFace(0);
        target.showNotRegistered();
        return;
    }
    const QString& face = catalogue.recordFace(record);
    int entry = -1;
    for (int j = 0; j < catalogue.fontCount(); ++j) {
        if (catalogue.fontNames[j].toLower() == face) {
            entry = j;
            break;
        }
    }
    if (entry < 0) {
        target.selectFace(0);
        return;
    }
    target.selectFace(entry);
    target.setEffect(0, catalogue.recordBold(record) ? 1 : 0);
    target.setEffect(1, catalogue.recordItalic(record) ? 1 : 0);
}

} // namespace quillon
