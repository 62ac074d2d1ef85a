#include "platform/linux/IniSettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace quillon::platform {

IniSettingsStore::IniSettingsStore(QString folder) : folder_(std::move(folder))
{
    if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::fileFor(const QString& appName) const
{
    return folder_ + QLatin1Char('/') + appName + QLatin1Char('/') + appName + QStringLiteral(".conf");
}

void IniSettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                   const QString& value)
{
    QSettings settings(fileFor(appName), QSettings::IniFormat);
    settings.beginGroup(section);
    // A write syncs the file and a lock file to disk; a value already stored as this text needs neither.
    const QVariant stored = settings.value(key);
    if (stored.typeId() == QMetaType::QString && stored.toString() == value) return;
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
}

QString IniSettingsStore::GetSetting(const QString& appName, const QString& section, const QString& key,
                                     const QString& defaultValue)
{
    QSettings settings(fileFor(appName), QSettings::IniFormat);
    settings.beginGroup(section);
    const QVariant value = settings.value(key);
    // A value edited by hand into a list or other type still reads as text, never as a crash.
    if (!value.isValid()) return defaultValue;
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace quillon::platform
