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
};

} // namespace quillon::platform
