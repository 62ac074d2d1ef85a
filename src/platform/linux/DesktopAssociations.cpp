#include "platform/linux/DesktopAssociations.h"

#include "platform/ShellCommand.h"
#include "platform/linux/DesktopEntryText.h"
#include "platform/linux/MimeAppsEditor.h"
#include "platform/linux/MimeAppsLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace quillon::platform {

using namespace desktop;

namespace {

// The MIME database is rebuilt once, when the program first needs its own types; it takes well under a
// second for the user's small database, but a stuck tool must not hang the options dialog.
constexpr int kUpdateTimeoutMs = 30000;

QString entryIdFor(DesktopAssociations::Verb verb)
{
    return verb == DesktopAssociations::Verb::Open ? kDesktopId : kPrintDesktopId;
}

// Writes a file only when its content changes, atomically.
bool writeIfChanged(const QString& path, const QByteArray& content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return false;
    return file.commit();
}

} // namespace

void DesktopAssociations::setOwnCommands(const QString& viewCommand, const QString& printCommand)
{
    viewCommand_ = viewCommand;
    printCommand_ = printCommand;
}

void DesktopAssociations::fillOwnCommands() const
{
    if (!viewCommand_.isEmpty() || !printCommand_.isEmpty()) return;
    // The same texts the start-up builds: the running executable's absolute path, quoted when it holds a
    // blank, so that a copy that was not told them still recognises its own entry.
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
    if (program.contains(QLatin1Char(' ')) || program.contains(QLatin1Char('\t')))
        program = QLatin1Char('"') + program + QLatin1Char('"');
    viewCommand_ = program + QStringLiteral(" %1");
    printCommand_ = program + QStringLiteral(" /p %1");
}

QString DesktopAssociations::ownCommand(Verb verb) const
{
    fillOwnCommands();
    return verb == Verb::Open ? viewCommand_ : printCommand_;
}

std::optional<QString> DesktopAssociations::command(const QString& extension, Verb verb) const
{
    const QString type = mimeTypeFor(extension);
    if (type.isEmpty()) return std::nullopt;
    const MimeAppsLookup lookup(XdgPaths::fromEnvironment());
    if (verb == Verb::Print && lookup.isAdded(type, kPrintDesktopId) && !lookup.exec(kPrintDesktopId).isEmpty())
        return ownCommand(Verb::Print);

    QString id;
    if (type == kFonType) {
        id = lookup.defaultApplication(type, true);
        if (id.isEmpty()) id = lookup.defaultApplication(kTrueTypeType);
    } else {
        id = lookup.defaultApplication(type);
    }
    if (id.isEmpty()) return std::nullopt;
    if (id == kDesktopId) return ownCommand(Verb::Open);
    if (id == kPrintDesktopId) return ownCommand(Verb::Print);
    const QString command = commandFromExec(lookup.exec(id));
    if (command.isEmpty()) return std::nullopt;
    return command + QChar(0);
}

LONG DesktopAssociations::setCommand(const QString& extension, Verb verb, const QString& command)
{
    const QString type = mimeTypeFor(extension);
    if (type.isEmpty()) return ERROR_FILE_NOT_FOUND;
    QString text = command;
    while (text.endsWith(QChar(0)))
        text.chop(1);
    const XdgPaths paths = XdgPaths::fromEnvironment();
    return text == ownCommand(verb) ? claim(paths, type, verb) : giveBack(paths, type, verb);
}

LONG DesktopAssociations::claim(const XdgPaths& paths, const QString& type, Verb verb)
{
    const QString own = ownCommand(verb);
    if (commandProgram(own).isEmpty()) return ERROR_INVALID_PARAMETER;
    ensureMimePackage(paths, type);
    const QString id = entryIdFor(verb);
    const QByteArray entry = verb == Verb::Open ? openEntry(own) : printEntry(own);
    if (!writeIfChanged(paths.userApplications() + QLatin1Char('/') + id, entry)) return ERROR_ACCESS_DENIED;
    MimeAppsEditor editor(paths);
    const bool ok = verb == Verb::Open ? editor.claimDefault(type, id) : editor.addAssociation(type, id);
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG DesktopAssociations::giveBack(const XdgPaths& paths, const QString& type, Verb verb)
{
    const QString id = entryIdFor(verb);
    MimeAppsEditor editor(paths);
    const bool ok = verb == Verb::Open ? editor.giveBackDefault(type, id) : editor.removeAssociation(type, id);
    // An entry nothing names any more would still be offered by tools that scan the applications folder
    // for a type's openers, so the desktop would not be as it was before the program took the type.
    if (ok && !editor.isNamed(id)) QFile::remove(paths.userApplications() + QLatin1Char('/') + id);
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

void DesktopAssociations::ensureMimePackage(const XdgPaths& paths, const QString& type)
{
    if (type != kFonType && type != kPfmType) return;
    const MimeAppsLookup lookup(paths);
    if (lookup.knowsType(kFonType) && lookup.knowsType(kPfmType)) return;
    const QString database = paths.dataHome + QStringLiteral("/mime");
    if (!writeIfChanged(database + QStringLiteral("/packages/") + kMimePackageName, mimePackage())) return;
    // Without the rebuilt database the desktop would not type the files yet; the association itself is
    // still worth writing, so a missing or failing tool is not an error here.
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {database});
    if (update.waitForStarted() && !update.waitForFinished(kUpdateTimeoutMs)) {
        update.kill();
        update.waitForFinished();
    }
}

} // namespace quillon::platform
