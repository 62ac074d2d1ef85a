#pragma once
// Logging categories. Every line is a debug message, so the program is silent unless asked:
//   QT_LOGGING_RULES="quillon.*=true" quillon
// turns all of them on, "quillon.fonts=true" one area. A line says what happened and why, in one sentence
// (which face was substituted for which name, which file was refused and for what):
//   qCDebug(quillon::log::fonts) << "no face is named" << name << "- drawn in" << family;

#include <QLoggingCategory>

namespace quillon::log {

/// Face resolution and substitution, fonts added and removed, font files refused or cut short.
Q_DECLARE_LOGGING_CATEGORY(fonts)
/// The installed-font catalogue: entries skipped, file look-ups that failed.
Q_DECLARE_LOGGING_CATEGORY(catalogue)
/// Desktop associations and the addresses and programs handed to the desktop to open: writes refused,
/// files left alone, openers that did not start, and why.
Q_DECLARE_LOGGING_CATEGORY(associations)
/// The settings store and the Options window's save: files that could not be read or written, saves cut
/// short and finished later.
Q_DECLARE_LOGGING_CATEGORY(settings)
/// The single running copy: hand-offs sent, received, timed out or refused.
Q_DECLARE_LOGGING_CATEGORY(instance)
/// Printers, printed pages, and the font book's PDF: parts refused, joined, outlined.
Q_DECLARE_LOGGING_CATEGORY(printing)

} // namespace quillon::log
