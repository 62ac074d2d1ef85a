#pragma once
// Settings in one INI file per user, by default $XDG_CONFIG_HOME/<appName>/<appName>.conf, in the format
// QSettings reads and writes (earlier versions used it). Each call reads the file afresh so that every
// copy of the program sees what another copy just saved.
//
// The file is the user's as much as the program's: a save changes only the line of its key (or adds one)
// and keeps every other line, comment and section as written, and replaces the file atomically (a new file
// renamed over the old), under a lock on the folder so that two copies saving at once do not lose each
// other's value. A file that is not fully understood (not UTF-8, a line that is no comment, header or
// entry, a value that runs on past its line) is never written: the program then runs on the defaults,
// since a damaged file cannot say for sure which section a key is in or where a value ends.

#include "platform/SettingsStore.h"

#include <optional>

namespace quillon::platform {

class KeyFileLines;

class IniSettingsStore final : public SettingsStore {
public:
    /// folder: where the files live; empty means the user's configuration folder.
    explicit IniSettingsStore(QString folder = QString());

    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& defaultValue = QString()) override;
    QString damagedFile() const override { return damaged_; }
    QString saveProblem() const override { return saveProblem_; }

    QString fileFor(const QString& appName) const;

    /// The text a settings file (read with KeyFileLines' QtIni syntax) holds for key in section, as
    /// GetSetting reads it; nullopt when it holds no readable value for it.
    static std::optional<QString> valueIn(const KeyFileLines& file, const QString& section,
                                          const QString& key);
    /// Stores value in the file as SaveSetting does: the key's last line gets the new value, or a line is
    /// added to the section; every other line stays. False when the file already holds that text (nothing
    /// to write).
    static bool storeIn(KeyFileLines& file, const QString& section, const QString& key, const QString& value);

private:
    void noteDamaged(const QString& file);

    QString folder_;
    QString damaged_;
    QString saveProblem_;
};

} // namespace quillon::platform
