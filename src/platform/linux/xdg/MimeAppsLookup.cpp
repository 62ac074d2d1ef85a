#include "platform/linux/xdg/MimeAppsLookup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <functional>

namespace quillon::platform {

namespace {

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kRemoved = QStringLiteral("Removed Associations");
const QString kCache = QStringLiteral("MIME Cache");
const QString kDesktopEntry = QStringLiteral("Desktop Entry");

// The database's "aliases" and "subclasses" files: one pair of type names a line.
void readPairs(const QString& path, const std::function<void(const QString&, const QString&)>& take)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words.size() == 2) take(QString::fromUtf8(words[0]), QString::fromUtf8(words[1]));
    }
}

void appendNew(QStringList& to, const QString& item)
{
    if (!to.contains(item)) to.append(item);
}

} // namespace

MimeAppsLookup::MimeAppsLookup(XdgPaths paths) : paths_(std::move(paths))
{
    const auto folderOf = [](const QString& listPath) { return QFileInfo(listPath).path(); };
    QString current;
    for (const QString& path : paths_.mimeappsLists()) {
        if (folders_.empty() || folderOf(path) != current) {
            current = folderOf(path);
            folders_.emplace_back();
            if (current.endsWith(QStringLiteral("/applications")))
                folders_.back().cache = KeyFileLines::load(current + QStringLiteral("/mimeinfo.cache"));
        }
        if (auto list = KeyFileLines::load(path)) folders_.back().lists.push_back(std::move(*list));
    }
    // The user's database comes first and wins over the system's.
    for (const QString& dir : paths_.mimeDirs()) {
        readPairs(dir + QStringLiteral("/aliases"), [this](const QString& alias, const QString& type) {
            if (!aliases_.contains(alias)) aliases_.insert(alias, type);
        });
        readPairs(dir + QStringLiteral("/subclasses"),
                  [this](const QString& type, const QString& parent) { appendNew(parents_[type], parent); });
    }
}

QString MimeAppsLookup::unalias(const QString& type) const { return aliases_.value(type, type); }

bool MimeAppsLookup::knowsType(const QString& type) const
{
    for (const QString& dir : paths_.mimeDirs()) {
        QFile file(dir + QStringLiteral("/types"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
        while (!file.atEnd())
            if (QString::fromUtf8(file.readLine()).trimmed() == type) return true;
    }
    return false;
}

QStringList MimeAppsLookup::typeAndParents(const QString& type) const
{
    QStringList types{unalias(type)};
    for (qsizetype i = 0; i < types.size(); ++i)
        for (const QString& parent : parents_.value(types.at(i))) appendNew(types, unalias(parent));
    return types;
}

QStringList MimeAppsLookup::itemsFor(const KeyFileLines& list, const QString& group,
                                     const QString& type) const
{
    QStringList items;
    for (const KeyFileLines::Entry& entry : list.entries(group))
        if (sameType(entry.key, type))
            for (const QString& item : KeyFileLines::listItems(entry.value)) appendNew(items, item);
    return items;
}

QString MimeAppsLookup::defaultApplication(const QString& type, bool explicitOnly,
                                           const QString& ignoring) const
{
    QStringList removed{ignoring};
    for (const QString& each : typeAndParents(type)) {
        QStringList candidates;
        for (const Folder& folder : folders_)
            for (const KeyFileLines& list : folder.lists)
                for (const QString& id : itemsFor(list, kDefaults, each))
                    if (id != ignoring) appendNew(candidates, id);
        if (!explicitOnly) {
            for (const Folder& folder : folders_) {
                for (const KeyFileLines& list : folder.lists)
                    for (const QString& id : itemsFor(list, kAdded, each))
                        if (!removed.contains(id)) appendNew(candidates, id);
                for (const KeyFileLines& list : folder.lists)
                    for (const QString& id : itemsFor(list, kRemoved, each))
                        if (!candidates.contains(id)) appendNew(removed, id);
                if (folder.cache)
                    for (const QString& id : itemsFor(*folder.cache, kCache, each))
                        if (!removed.contains(id)) appendNew(candidates, id);
            }
        }
        for (const QString& id : candidates)
            if (!exec(id).isEmpty()) return id;
    }
    return QString();
}

QString MimeAppsLookup::explicitDefault(const QString& type, const QString& ignoring) const
{
    for (const Folder& folder : folders_)
        for (const KeyFileLines& list : folder.lists)
            for (const QString& id : itemsFor(list, kDefaults, type))
                if (id != ignoring && !exec(id).isEmpty()) return id;
    return QString();
}

bool MimeAppsLookup::isAdded(const QString& type, const QString& desktopId) const
{
    for (const Folder& folder : folders_)
        for (const KeyFileLines& list : folder.lists)
            if (itemsFor(list, kAdded, type).contains(desktopId)) return true;
    return false;
}

const QHash<QString, QString>& MimeAppsLookup::desktopIndex(const QString& applicationDir) const
{
    auto found = desktopIndexes_.find(applicationDir);
    if (found != desktopIndexes_.end()) return found->second;
    // Entries in sub-folders have IDs with "-" in place of the folder separator.
    QHash<QString, QString> index;
    const QDir root(applicationDir);
    QDirIterator it(applicationDir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString id = root.relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
        if (!index.contains(id)) index.insert(id, path);
    }
    return desktopIndexes_.emplace(applicationDir, std::move(index)).first->second;
}

QString MimeAppsLookup::desktopFile(const QString& desktopId) const
{
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/')) ||
        !desktopId.endsWith(QStringLiteral(".desktop")))
        return QString();
    for (const QString& dir : paths_.applicationDirs()) {
        const QString direct = dir + QLatin1Char('/') + desktopId;
        if (QFileInfo(direct).isFile()) return direct;
        if (desktopId.contains(QLatin1Char('-')))
            if (const QString nested = desktopIndex(dir).value(desktopId); !nested.isEmpty()) return nested;
    }
    return QString();
}

QString MimeAppsLookup::exec(const QString& desktopId) const
{
    const QString path = desktopFile(desktopId);
    if (path.isEmpty()) return QString();
    const auto entry = KeyFileLines::load(path);
    if (!entry) return QString();
    if (entry->value(kDesktopEntry, QStringLiteral("Type")) != QStringLiteral("Application"))
        return QString();
    if (entry->value(kDesktopEntry, QStringLiteral("Hidden")) == QStringLiteral("true")) return QString();
    if (const auto tryExec = entry->value(kDesktopEntry, QStringLiteral("TryExec"));
        tryExec && !tryExec->isEmpty()) {
        const bool found = QDir::isAbsolutePath(*tryExec)
                               ? QFileInfo(*tryExec).isExecutable()
                               : !QStandardPaths::findExecutable(*tryExec).isEmpty();
        if (!found) return QString();
    }
    return entry->value(kDesktopEntry, QStringLiteral("Exec")).value_or(QString()).trimmed();
}

} // namespace quillon::platform
