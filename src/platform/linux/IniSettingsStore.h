#pragma once
// Settings in one INI file per user, by default $XDG_CONFIG_HOME/<appName>/<appName>.conf. Each call opens
// the file afresh so that every copy of the program sees what another copy just saved; QSettings writes
// through a temporary file and a rename, so a crash never leaves the file half written.

#include "platform/SettingsStore.h"

namespace quillon::platform {

class IniSettingsStore final : public SettingsStore {
public:
    /// folder: where the files live; empty means the user's configuration folder.
    explicit IniSettingsStore(QString folder = QString());

    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& defaultValue = QString()) override;

    QString fileFor(const QString& appName) const;

private:
    QString folder_;
};

} // namespace quillon::platform
