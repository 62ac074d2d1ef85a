#include "platform/linux/xdg/DesktopAssociations.h"

#include "platform/Log.h"
#include "platform/ReplacingFile.h"
#include "platform/ShellCommand.h"
#include "platform/linux/settings/KeyFileLines.h"
#include "platform/linux/xdg/DesktopEntryText.h"
#include "platform/linux/xdg/MimeAppsEditor.h"
#include "platform/linux/xdg/MimeAppsLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace quillon::platform {

using namespace desktop;

namespace {

// Writes a file only when its content changes, whole or not at all; problem says why it was not.
bool writeIfChanged(const QString& path, const QByteArray& content, QString& problem)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return true;
    existing.close();
    if (QDir().mkpath(QFileInfo(path).absolutePath()) && ReplacingFile::replace(path, content, &problem))
        return true;
    if (problem.isEmpty()) problem = QStringLiteral("the folder of %1 cannot be made").arg(path);
    qCDebug(log::associations) << "desktop file" << path << "could not be written:" << problem;
    return false;
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
    if (verb == Verb::Print && lookup.isAdded(type, kPrintDesktopId) &&
        !lookup.exec(kPrintDesktopId).isEmpty())
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
    while (text.endsWith(QChar(0))) text.chop(1);
    const XdgPaths paths = XdgPaths::fromEnvironment();
    return text == ownCommand(verb) ? claim(paths, type, verb) : giveBack(paths, type, verb);
}

LONG DesktopAssociations::removeCommand(const QString& extension, Verb verb)
{
    const QString type = mimeTypeFor(extension);
    if (type.isEmpty()) return ERROR_FILE_NOT_FOUND;
    return giveBack(XdgPaths::fromEnvironment(), type, verb);
}

DesktopAssociations::DesktopAssociations() = default;

DesktopAssociations::~DesktopAssociations()
{
    // A rebuild cut off would leave the user's database half made: the program's end waits for it.
    waitForMimeDatabase();
}

void DesktopAssociations::rebuildMimeDatabase(const QString& database)
{
    // Without the rebuilt database the desktop would not see the change yet; the association itself is
    // still right, so a missing or failing tool is not an error here. The tool runs while the program goes
    // on: a slow or stuck one must not hold up the options dialog. A change made while it runs asks for
    // one more run once it ends, so the last change is always in the database.
    if (update_ && update_->state() != QProcess::NotRunning) {
        rebuildAgain_ = database;
        return;
    }
    if (!update_) {
        update_ = std::make_unique<QProcess>();
        QObject::connect(update_.get(), &QProcess::finished, update_.get(), [this] {
            const QString again = std::exchange(rebuildAgain_, QString());
            if (!again.isEmpty()) rebuildMimeDatabase(again);
        });
        QObject::connect(update_.get(), &QProcess::errorOccurred, update_.get(),
                         [](QProcess::ProcessError e) {
                             if (e == QProcess::FailedToStart)
                                 qCDebug(log::associations)
                                     << "update-mime-database could not be started: the desktop sees the "
                                        "types change once its MIME database is next rebuilt";
                         });
    }
    update_->start(QStringLiteral("update-mime-database"), {database});
}

void DesktopAssociations::waitForMimeDatabase()
{
    while (update_ && update_->state() != QProcess::NotRunning) {
        if (!update_->waitForFinished(kMimeUpdateWaitMs)) return;
        QCoreApplication::sendPostedEvents(); // the finished handler may start the run asked for meanwhile
    }
}

bool DesktopAssociations::noteProblem(const MimeAppsEditor& editor)
{
    problem_ = editor.problem();
    return false;
}

LONG DesktopAssociations::claim(const XdgPaths& paths, const QString& type, Verb verb)
{
    const QString own = ownCommand(verb);
    if (commandProgram(own).isEmpty()) return ERROR_INVALID_PARAMETER;
    bool ok = false;
    if (verb == Verb::Open) {
        ensureMimePackage(paths, type);
        MimeAppsEditor editor(paths);
        ok = writeIfChanged(paths.userApplications() + QLatin1Char('/') + kDesktopId, openEntry(own),
                            problem_) &&
             editor.claimDefault(type, kDesktopId);
        if (!ok && !editor.problem().isEmpty()) problem_ = editor.problem();
        ok = ok && settlePrint(paths, type);
    } else {
        ok = writePrintEntry(paths, keptOpeners(paths)) && offerPrint(paths, type);
    }
    tidy(paths); // a print entry held back from the type may be named nowhere
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG DesktopAssociations::giveBack(const XdgPaths& paths, const QString& type, Verb verb)
{
    MimeAppsEditor editor(paths);
    bool ok = true;
    if (verb == Verb::Open) {
        ok = editor.giveBackDefault(type, kDesktopId);
        if (!ok) problem_ = editor.problem();
        ok = ok && settlePrint(paths, type);
    } else {
        ok = editor.removeAssociation(type, kPrintDesktopId);
        // The openers pinned for the print entry's sake go with it; the record goes only once they have.
        QStringList kept = keptOpeners(paths);
        for (qsizetype i = kept.size() - 1; ok && i >= 0; --i) {
            const QString pinnedType = kept.at(i).section(QLatin1Char('='), 0, 0);
            if (pinnedType != type) continue;
            ok = editor.unpinDefault(type, kept.at(i).section(QLatin1Char('='), 1));
            if (ok) kept.removeAt(i);
        }
        const QString entry = paths.userApplications() + QLatin1Char('/') + kPrintDesktopId;
        if (!ok) problem_ = editor.problem();
        if (ok && QFileInfo::exists(entry)) ok = writePrintEntry(paths, kept);
    }
    tidy(paths);
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

bool DesktopAssociations::offerPrint(const XdgPaths& paths, const QString& type)
{
    const MimeAppsLookup lookup(paths);
    MimeAppsEditor editor(paths);
    if (lookup.explicitDefault(type, kPrintDesktopId).isEmpty()) {
        const QString opener = lookup.defaultApplication(type, false, kPrintDesktopId);
        if (opener.isEmpty()) {
            // Nothing opens the type, so nothing can be pinned, and the added print entry would be what a
            // double click runs: the type goes without it.
            qCDebug(log::associations) << "nothing opens" << type << "- the print entry is not added to it";
            return editor.removeAssociation(type, kPrintDesktopId) || noteProblem(editor);
        }
        QStringList kept = keptOpeners(paths);
        const QString pin = type + QLatin1Char('=') + opener;
        if (!kept.contains(pin)) kept.append(pin);
        if (!writePrintEntry(paths, kept)) return false;
        if (!editor.pinDefault(type, opener)) return noteProblem(editor);
    }
    return editor.addAssociation(type, kPrintDesktopId) || noteProblem(editor);
}

bool DesktopAssociations::settlePrint(const XdgPaths& paths, const QString& type)
{
    if (!MimeAppsLookup(paths).isAdded(type, kPrintDesktopId)) return true;
    return offerPrint(paths, type);
}

QStringList DesktopAssociations::keptOpeners(const XdgPaths& paths) const
{
    const auto entry = KeyFileLines::load(paths.userApplications() + QLatin1Char('/') + kPrintDesktopId);
    if (!entry) return {};
    return keptOpenersOf(*entry);
}

bool DesktopAssociations::writePrintEntry(const XdgPaths& paths, const QStringList& keptOpeners)
{
    return writeIfChanged(paths.userApplications() + QLatin1Char('/') + kPrintDesktopId,
                          printEntry(ownCommand(Verb::Print), keptOpeners), problem_);
}

void DesktopAssociations::tidy(const XdgPaths& paths)
{
    // An entry nothing names any more would still be offered by tools that scan the applications folder
    // for a type's openers, so the desktop would not be as it was before the program took the type.
    MimeAppsEditor editor(paths);
    for (const QString& id : {kDesktopId, kPrintDesktopId}) {
        const QString entry = paths.userApplications() + QLatin1Char('/') + id;
        if (!editor.isNamed(id) && !QFile::remove(entry) && QFileInfo::exists(entry))
            qCDebug(log::associations)
                << "desktop file" << entry << "is named nowhere but could not be removed";
    }
    const QStringList ownTypes{kFonType, kPfmType};
    if (!editor.isNamed(kDesktopId, ownTypes) && !editor.isNamed(kPrintDesktopId, ownTypes))
        removeMimePackage(paths);
}

void DesktopAssociations::ensureMimePackage(const XdgPaths& paths, const QString& type)
{
    if (type != kFonType && type != kPfmType) return;
    const MimeAppsLookup lookup(paths);
    if (lookup.knowsType(kFonType) && lookup.knowsType(kPfmType)) return;
    const QString database = paths.dataHome + QStringLiteral("/mime");
    QString ignored; // without the package the types still open as their nearest known type; logged
    if (!writeIfChanged(database + QStringLiteral("/packages/") + kMimePackageName, mimePackage(), ignored))
        return;
    rebuildMimeDatabase(database);
}

void DesktopAssociations::removeMimePackage(const XdgPaths& paths)
{
    // Only the program's own package, by its own name: .fon and .pfm files then type as they did before.
    const QString database = paths.dataHome + QStringLiteral("/mime");
    const QString package = database + QStringLiteral("/packages/") + kMimePackageName;
    if (!QFileInfo::exists(package)) return;
    if (!QFile::remove(package)) {
        qCDebug(log::associations) << "the MIME package" << package << "could not be removed";
        return;
    }
    rebuildMimeDatabase(database);
}

} // namespace quillon::platform
