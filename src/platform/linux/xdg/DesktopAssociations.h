#pragma once
// The shell's open and print commands of the five font file kinds, as the desktop's file associations
// hold them (freedesktop MIME applications: mimeapps.list and desktop entries).
//
// Reading the open command gives the Exec line of the entry the desktop opens the kind's type with
// (field codes as "%1"), ended by a NUL as a command stored by another program is; the program's own
// entry reads back exactly as its own view command, with nothing added. The .fon kind has no opener of
// its own on Linux unless the user named one, so it reads as the TrueType opener. No opener: no command.
// Reading the print command gives the program's print command while its print entry is added to the
// type; otherwise the desktop has no separate print command and the kind's opener is what handles the
// file, so it reads as the open command.
//
// Writing the program's own open command installs (or refreshes) its desktop entry in the user's
// applications folder and makes it the type's default in the user's mimeapps.list; writing any other
// command, or removing the command, gives the type back, taking the program out of the user's lines so the
// user's earlier choice, or else the system's default, applies again. The print command works the same way
// through the hidden print entry under [Added Associations], with one care: the desktop takes an added
// entry as the opener of a type that has no default line of its own, so a double click would print. The
// opener the type had is therefore pinned as its explicit default while the print entry is added (and
// recorded in the print entry, to be taken out again exactly), and a type that nothing opens gets no
// print entry at all. Whatever the two verbs are set to, the opener the desktop reports is the program's
// own or the one from before. An entry no list names any more is removed again. The .fon and .pfm types
// come from the program's own MIME package, installed into the user's database when the program first
// opens them, and removed again (the database rebuilt) when no line of the program names them any more.
// Nothing else of the user's files is changed, and a file the desktop could not read is left untouched:
// the write then fails, as a registry write can.

#include "platform/Registry.h"
#include "platform/linux/xdg/XdgPaths.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace quillon::platform {

class MimeAppsEditor;

class DesktopAssociations {
public:
    enum class Verb { Open, Print };

    DesktopAssociations();
    ~DesktopAssociations();
    DesktopAssociations(const DesktopAssociations&) = delete;
    DesktopAssociations& operator=(const DesktopAssociations&) = delete;

    /// The program's own commands, as its start-up builds them: view "<program> %1", print
    /// "<program> /p %1". Until they are set, they are made the same way from the running executable.
    void setOwnCommands(const QString& viewCommand, const QString& printCommand);
    QString ownCommand(Verb verb) const;

    /// The command of a font kind ("fon", "otf", "pfm", "ttc", "ttf") for a verb; nullopt when there is none
    /// or the kind is unknown.
    std::optional<QString> command(const QString& extension, Verb verb) const;
    /// Makes `command` the kind's command for the verb; a NUL terminator at its end is not part of it.
    /// Returns ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for an unknown kind, ERROR_INVALID_PARAMETER for the
    /// program's own command when it names no program, or ERROR_ACCESS_DENIED when a file could not be
    /// read or written.
    LONG setCommand(const QString& extension, Verb verb, const QString& command);
    /// Takes the program's command for the verb off the kind, whatever command was there before it (the
    /// desktop's own choice applies again). ERROR_SUCCESS too when the program held nothing; the errors of
    /// setCommand otherwise.
    LONG removeCommand(const QString& extension, Verb verb);
    /// Why the last change that failed was not made, for the user ("the disk is full"); empty while none
    /// failed.
    QString problem() const { return problem_; }
    /// Waits (a few seconds at most) until the MIME database rebuild that a change started has ended, for
    /// callers that look at the desktop's types at once. The program itself never waits for it.
    void waitForMimeDatabase();
    static constexpr int kMimeUpdateWaitMs = 30000;

private:
    void fillOwnCommands() const;
    LONG claim(const XdgPaths& paths, const QString& type, Verb verb);
    LONG giveBack(const XdgPaths& paths, const QString& type, Verb verb);
    bool offerPrint(const XdgPaths& paths, const QString& type);
    bool settlePrint(const XdgPaths& paths, const QString& type);
    QStringList keptOpeners(const XdgPaths& paths) const;
    bool writePrintEntry(const XdgPaths& paths, const QStringList& keptOpeners);
    void tidy(const XdgPaths& paths);
    void ensureMimePackage(const XdgPaths& paths, const QString& type);
    void removeMimePackage(const XdgPaths& paths);
    /// Takes the editor's reason for a failed change; always false.
    bool noteProblem(const MimeAppsEditor& editor);
    void rebuildMimeDatabase(const QString& database);

    mutable QString viewCommand_;
    mutable QString printCommand_;
    QString problem_;
    std::unique_ptr<QProcess> update_; // the MIME database rebuild, while one runs
    QString rebuildAgain_;             // the database to rebuild once more when it ends
};

} // namespace quillon::platform
