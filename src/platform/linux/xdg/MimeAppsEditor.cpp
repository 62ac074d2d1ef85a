#include "platform/linux/xdg/MimeAppsEditor.h"

#include "platform/Log.h"
#include "platform/linux/settings/KeyFileLines.h"

#include <algorithm>

namespace quillon::platform {

namespace {

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");

// A list that cannot be read or written leaves the desktop's associations as they were; the log says which.
std::optional<KeyFileLines> loadList(const QString& path, QString& problem)
{
    auto list = KeyFileLines::load(path);
    if (!list) {
        problem = QStringLiteral("the association list %1 is not understood or cannot be read").arg(path);
        qCDebug(log::associations) << "association list" << path << "cannot be read: left as it is";
    }
    return list;
}

bool saveList(const KeyFileLines& list, const QString& path, QString& problem)
{
    if (list.save(path, &problem)) return true;
    qCDebug(log::associations) << "association list" << path << "could not be written:" << problem;
    return false;
}

} // namespace

MimeAppsEditor::MimeAppsEditor(XdgPaths paths) : paths_(paths), lookup_(std::move(paths)) {}

bool MimeAppsEditor::claimDefault(const QString& type, const QString& desktopId)
{
    return putInto(kDefaults, type, desktopId, true);
}

bool MimeAppsEditor::giveBackDefault(const QString& type, const QString& desktopId)
{
    return takeOutOf(kDefaults, type, desktopId);
}

bool MimeAppsEditor::addAssociation(const QString& type, const QString& desktopId)
{
    return putInto(kAdded, type, desktopId, false);
}

bool MimeAppsEditor::removeAssociation(const QString& type, const QString& desktopId)
{
    return takeOutOf(kAdded, type, desktopId);
}

bool MimeAppsEditor::putInto(const QString& group, const QString& type, const QString& desktopId, bool first)
{
    const QStringList lists = paths_.userMimeappsLists();
    for (qsizetype i = 0; i < lists.size(); ++i) {
        const bool plain = i + 1 == lists.size();
        auto list = loadList(lists.at(i), problem_);
        if (!list) {
            if (plain) return false;
            continue; // the desktop skips a list it cannot read, so its lines decide nothing
        }
        // The line the desktop goes by: the type's own key over an alias, the last of equal keys.
        std::optional<KeyFileLines::Entry> line;
        for (const KeyFileLines::Entry& entry : list->entries(group))
            if (lookup_.sameType(entry.key, type) && (!line || entry.key == type || line->key != type))
                line = entry;
        if (!line) {
            if (!plain) continue;
            list->append(group, type, desktopId + QLatin1Char(';'));
            return saveList(*list, lists.at(i), problem_);
        }
        const QString value =
            first ? withItemFirst(line->value, desktopId) : withItemLast(line->value, desktopId);
        if (value == line->value) return true;
        list->setValue(line->line, value);
        return saveList(*list, lists.at(i), problem_);
    }
    return false;
}

bool MimeAppsEditor::takeOutOf(const QString& group, const QString& type, const QString& desktopId)
{
    bool ok = true;
    for (const QString& path : paths_.userMimeappsLists()) {
        auto list = loadList(path, problem_);
        if (!list) {
            ok = false;
            continue;
        }
        bool changed = false;
        const auto entries = list->entries(group);
        // From the end, so that a removed line does not move the ones still to come.
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (!lookup_.sameType(it->key, type) || !KeyFileLines::listItems(it->value).contains(desktopId))
                continue;
            const QString value = withoutItem(it->value, desktopId);
            if (KeyFileLines::listItems(value).isEmpty())
                list->removeEntry(it->line);
            else
                list->setValue(it->line, value);
            changed = true;
        }
        if (changed && !saveList(*list, path, problem_)) ok = false;
    }
    return ok;
}

bool MimeAppsEditor::pinDefault(const QString& type, const QString& opener)
{
    const QString path = paths_.userMimeappsLists().constLast();
    auto list = loadList(path, problem_);
    if (!list) return false;
    for (const KeyFileLines::Entry& entry : list->entries(kDefaults)) {
        if (entry.key != type) continue;
        const QString value = withItemLast(entry.value, opener);
        if (value == entry.value) return true;
        list->setValue(entry.line, value);
        return saveList(*list, path, problem_);
    }
    list->append(kDefaults, type, opener + QLatin1Char(';'));
    return saveList(*list, path, problem_);
}

bool MimeAppsEditor::unpinDefault(const QString& type, const QString& opener)
{
    const QString path = paths_.userMimeappsLists().constLast();
    auto list = loadList(path, problem_);
    if (!list) return false;
    const auto entries = list->entries(kDefaults);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->key != type || !KeyFileLines::listItems(it->value).contains(opener)) continue;
        const QString value = withoutItem(it->value, opener);
        if (KeyFileLines::listItems(value).isEmpty())
            list->removeEntry(it->line);
        else
            list->setValue(it->line, value);
        return saveList(*list, path, problem_);
    }
    return true; // the user has changed the line since: it is theirs now
}

bool MimeAppsEditor::isNamed(const QString& desktopId, const QStringList& types) const
{
    for (const QString& path : paths_.userMimeappsLists()) {
        const auto list = KeyFileLines::load(path);
        if (!list) continue;
        for (const QString& group : {kDefaults, kAdded})
            for (const KeyFileLines::Entry& entry : list->entries(group)) {
                const bool ofType =
                    types.isEmpty() || std::any_of(types.begin(), types.end(), [&](const QString& t) {
                        return lookup_.sameType(entry.key, t);
                    });
                if (ofType && KeyFileLines::listItems(entry.value).contains(desktopId)) return true;
            }
    }
    return false;
}

QString MimeAppsEditor::withItemFirst(const QString& value, const QString& item)
{
    if (KeyFileLines::listItems(value).value(0) == item) return value;
    const QString rest = withoutItem(value, item);
    return rest.trimmed().isEmpty() ? item + QLatin1Char(';') : item + QLatin1Char(';') + rest;
}

QString MimeAppsEditor::withItemLast(const QString& value, const QString& item)
{
    if (KeyFileLines::listItems(value).contains(item)) return value;
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty()) return item + QLatin1Char(';');
    if (trimmed.endsWith(QLatin1Char(';'))) return value + item + QLatin1Char(';');
    return value + QLatin1Char(';') + item;
}

QString MimeAppsEditor::withoutItem(const QString& value, const QString& item)
{
    QStringList kept;
    for (const QString& piece : value.split(QLatin1Char(';')))
        if (KeyFileLines::unescape(piece).trimmed() != item) kept.append(piece);
    return kept.join(QLatin1Char(';'));
}

} // namespace quillon::platform
