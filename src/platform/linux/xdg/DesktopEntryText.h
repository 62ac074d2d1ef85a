#pragma once
// The texts the file associations write into the desktop: the program's two desktop entries, its MIME
// package for the font kinds the shared database does not know, and the translation between a shell
// command ("program args %1") and a desktop entry's Exec line ("program args %f").

#include "platform/linux/settings/KeyFileLines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon::platform::desktop {

/// The program's entry, the desktop's opener for the five font kinds when the user chooses it.
inline const QString kDesktopId = QStringLiteral("org.quillon.Quillon.desktop");
/// The program's print entry: hidden from menus, added to the five kinds so it is among their openers.
inline const QString kPrintDesktopId = QStringLiteral("org.quillon.Quillon.Print.desktop");
/// The file name of the MIME package in a database's packages folder.
inline const QString kMimePackageName = QStringLiteral("org.quillon.Quillon.xml");
/// The print entry's record of the openers pinned for its sake: "type=desktop ID;...".
inline const QString kKeptOpenersKey = QStringLiteral("X-Quillon-Kept-Openers");
/// The types the MIME package declares, for .fon and .pfm.
inline const QString kFonType = QStringLiteral("application/x-font-fon");
inline const QString kPfmType = QStringLiteral("application/x-font-pfm");
/// The type of TrueType files, whose opener stands in for the .fon kind's when it has none of its own.
inline const QString kTrueTypeType = QStringLiteral("font/ttf");

/// The MIME type of a font file kind ("fon", "otf", "pfm", "ttc", "ttf"); empty for any other.
QString mimeTypeFor(const QString& extension);
/// The five types, in the kinds' order.
QStringList fontMimeTypes();

/// The Exec value for a shell command: each word quoted as desktop entries quote it, "%1" as "%f", and
/// escaped for a key file. Empty when the command has no program.
QString execFromCommand(const QString& command);
/// A shell command for an Exec value: the file's field codes (%f %F %u %U) as "%1", "%%" as "%", the
/// other field codes dropped; the words otherwise as written.
QString commandFromExec(const QString& exec);

/// The program's desktop entry running `command` (the view command); MimeType names the five types.
QByteArray openEntry(const QString& command);
/// The print entry running `command` (the print command). It declares no MimeType: a declared type would
/// let the desktop pick it as the opener of a type that has no default, and a double click would print.
/// keptOpeners ("type=desktop ID"), when any, are recorded under X-Quillon-Kept-Openers.
QByteArray printEntry(const QString& command, const QStringList& keptOpeners = {});
/// The kept openers a print entry records, as printEntry wrote them; none when it records none.
QStringList keptOpenersOf(const KeyFileLines& printEntry);
/// The MIME package (shared-mime-info XML) declaring the .fon and .pfm types.
QByteArray mimePackage();

} // namespace quillon::platform::desktop
