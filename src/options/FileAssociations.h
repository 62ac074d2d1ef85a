#pragma once
// Makes the program the shell's command for opening ("V") or printing ("P") the five font file kinds, and
// puts back the command that was there before. Each kind's class key is written under HKEY_CLASSES_ROOT and
// then under HKEY_LOCAL_MACHINE\software\classes; only the fon class's command is remembered, in the
// settings, as the prior command of all five. Any other verb letter does nothing. A key that cannot be
// written is skipped and the others are still written; the caller is told whether the change was made, so
// that it never records as made an association the shell did not take.
//
// A command that names no program (for example " %1" from an empty executable path, or a remembered text
// edited into nothing) is never written and never remembered: the shell would try to run the font file.

#include "registry/RegistryModule.h"

#include <QString>

namespace quillon {

namespace platform {
class SettingsStore;
}
struct FontModule;

/// Where the options and the remembered commands live in the settings store.
namespace settings_keys {
inline const QString kTitle = QStringLiteral("Quillon");
inline const QString kSection = QStringLiteral("Settings");
inline const QString kPriorView = QStringLiteral("PriorViewAssociation");
inline const QString kPriorPrint = QStringLiteral("PriorPrintAssociation");
} // namespace settings_keys

class FileAssociations {
public:
    /// All three are borrowed and must outlive this object. module gives viewCommand, printCommand and
    /// fontExtensions (empty extensions are skipped).
    FileAssociations(RegistryModule& registry, platform::SettingsStore& settings, const FontModule& module);

    /// Remembers the fon class's current command for the verb, unless it is missing, empty, the program's
    /// own or names no program; an earlier remembered command then stays.
    void SaveAssociation(const QString& verb);
    /// Writes the program's command for the verb into the ten class keys. False when the shell did not take
    /// it: a key under HKEY_CLASSES_ROOT could not be written (the machine's store may refuse a user without
    /// harm), or the command names no program.
    bool SetAssociation(const QString& verb);
    /// Writes the remembered command back into the ten class keys and forgets it. With none remembered, the
    /// program's own command is taken out of each key that holds it: the files are given back whatever
    /// was remembered. False, and the remembered command kept, when a key under HKEY_CLASSES_ROOT could
    /// not be changed.
    bool RestoreAssociation(const QString& verb);

    /// The fon class's command key for a verb letter ("fonfile\shell\open\command"); empty for others.
    static QString fonCommandKey(const QString& verb);

private:
    bool writeAll(const QString& shellVerb, const QString& command);
    bool removeOwn(const QString& shellVerb, const QString& ownCommand);

    RegistryModule& registry_;
    platform::SettingsStore& settings_;
    const FontModule& module_;
};

} // namespace quillon
