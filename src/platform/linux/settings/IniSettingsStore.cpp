#include "platform/linux/settings/IniSettingsStore.h"

#include "platform/Log.h"
#include "platform/linux/files/FileLock.h"
#include "platform/linux/settings/IniValue.h"
#include "platform/linux/settings/KeyFileLines.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillon::platform {

namespace {

// Another copy saving at the same moment holds the lock for a few milliseconds; a lock that cannot be had
// at all (a folder on a file system without locks) does not stop the save.
constexpr int kLockWaitMs = 2000;

/// The last entry of key in section: the one QSettings reads.
std::optional<KeyFileLines::Entry> lastEntry(const KeyFileLines& file, const QString& section,
                                             const QString& key)
{
    std::optional<KeyFileLines::Entry> found;
    for (const KeyFileLines::Entry& entry : file.entries(section))
        if (entry.key == key) found = entry;
    return found;
}

/// A stored value as text, as the QSettings-based store read it: a list joined by commas, "@@" for a
/// leading "@", "@String(...)" (how QSettings writes a text holding a NUL) and "@ByteArray(...)" for
/// their contents, and QSettings' mark of an invalid value read as no value at all.
std::optional<QString> textOf(const QString& raw)
{
    const auto value = ini::readValue(raw);
    if (!value) return std::nullopt;
    if (value->isList) return value->items.join(QLatin1Char(','));
    const QString& text = value->text;
    if (text == QLatin1String("@Invalid()")) return std::nullopt;
    if (text.startsWith(QLatin1String("@@"))) return text.mid(1);
    const auto inside = [&](QLatin1String open) {
        return text.mid(open.size(), text.size() - open.size() - 1);
    };
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@String("))) return inside(QLatin1String("@String("));
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(inside(QLatin1String("@ByteArray(")).toLatin1());
    }
    return text;
}

} // namespace

IniSettingsStore::IniSettingsStore(QString folder) : folder_(std::move(folder))
{
    if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::fileFor(const QString& appName) const
{
    return folder_ + QLatin1Char('/') + appName + QLatin1Char('/') + appName + QStringLiteral(".conf");
}

void IniSettingsStore::noteDamaged(const QString& file)
{
    if (damaged_ != file)
        qCDebug(log::settings) << "settings file" << file
                               << "is not understood: left as it is, defaults used";
    damaged_ = file;
}

void IniSettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                   const QString& value)
{
    saveProblem_.clear();
    const QString path = fileFor(appName);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        saveProblem_ = QStringLiteral("the settings folder %1 cannot be made").arg(folder);
        qCDebug(log::settings) << "settings folder" << folder << "cannot be made:" << key << "not saved";
        return;
    }
    FileLock lock = FileLock::onFolder(folder);
    lock.tryLock(kLockWaitMs);

    auto file = KeyFileLines::load(path, KeyFileLines::Syntax::QtIni);
    if (!file) {
        saveProblem_ =
            QStringLiteral("the settings file %1 is not understood and is left as it is").arg(path);
        return noteDamaged(path);
    }
    // Every start saves its command line: a value already stored as this text costs no write and no sync.
    if (!storeIn(*file, section, key, value)) return;
    if (!file->save(path, &saveProblem_)) {
        if (saveProblem_.isEmpty())
            saveProblem_ = QStringLiteral("the settings file %1 cannot be written").arg(path);
        qCDebug(log::settings) << "settings file" << path << "could not be written:" << key << saveProblem_;
    }
}

QString IniSettingsStore::GetSetting(const QString& appName, const QString& section, const QString& key,
                                     const QString& defaultValue)
{
    const QString path = fileFor(appName);
    const auto file = KeyFileLines::load(path, KeyFileLines::Syntax::QtIni);
    if (!file) {
        noteDamaged(path);
        return defaultValue;
    }
    return valueIn(*file, section, key).value_or(defaultValue);
}

std::optional<QString> IniSettingsStore::valueIn(const KeyFileLines& file, const QString& section,
                                                 const QString& key)
{
    const auto entry = lastEntry(file, section, key);
    if (!entry) return std::nullopt;
    return textOf(entry->value);
}

bool IniSettingsStore::storeIn(KeyFileLines& file, const QString& section, const QString& key,
                               const QString& value)
{
    const auto entry = lastEntry(file, section, key);
    if (entry) {
        const auto stored = ini::readValue(entry->value);
        if (stored && !stored->isList && textOf(entry->value) == value) return false;
    }
    const QString written = ini::writeValue(value);
    if (entry)
        file.setValue(entry->line, written);
    else
        file.append(section, key, written);
    return true;
}

} // namespace quillon::platform
