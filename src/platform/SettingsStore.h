#pragma once
// The per-user settings store: text values addressed by application title, section and key.

#include <QString>

namespace quillon::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void SaveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
    /// The stored text, or defaultValue when the key is absent. Always sees what another copy of the
    /// program saved before the call.
    virtual QString GetSetting(const QString& appName, const QString& section, const QString& key,
                               const QString& defaultValue = QString()) = 0;
    /// A settings file this store could not fully understand and so leaves exactly as it is: its values
    /// read as their defaults and saves to it are dropped. Empty while every file it met was understood.
    virtual QString damagedFile() const { return QString(); }
    /// Why the most recent SaveSetting did not store its value, in words for the user ("the disk is
    /// full"); empty when it did. The earlier file is then as it was.
    virtual QString saveProblem() const { return QString(); }
};

} // namespace quillon::platform
