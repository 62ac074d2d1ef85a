#pragma once
// Which application the desktop opens a file type with, resolved the way GIO resolves it (and so the way
// file managers and `gio mime` report it): for the type and then each type it is a kind of, first the
// installed entries named under [Default Applications] in the mimeapps.list files in priority order; then
// the associations: per folder the added ones, those removed there being skipped from then on, and the
// entries the folder's mimeinfo.cache lists for the type. Lists the desktop could not read are skipped.
//
// A lookup reads the files once, when it is made; make a new one after a change.

#include "platform/linux/settings/KeyFileLines.h"
#include "platform/linux/xdg/XdgPaths.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace quillon::platform {

class MimeAppsLookup {
public:
    explicit MimeAppsLookup(XdgPaths paths);

    const XdgPaths& paths() const { return paths_; }

    /// The type a name stands for when the MIME database lists it as an alias; the name itself otherwise.
    QString unalias(const QString& type) const;
    /// Whether a list key names the type (directly or by an alias).
    bool sameType(const QString& key, const QString& type) const { return unalias(key) == unalias(type); }
    /// Whether the MIME database knows the type (any of its folders).
    bool knowsType(const QString& type) const;

    /// The desktop ID of the entry that opens files of the type; empty when there is none. explicitOnly
    /// considers only the [Default Applications] lines, not the associations; an entry named `ignoring`
    /// is passed over, as if no list named it.
    QString defaultApplication(const QString& type, bool explicitOnly = false,
                               const QString& ignoring = {}) const;
    /// The first installed entry that a [Default Applications] line of the type itself (or an alias, but
    /// not a parent type) names, passing over `ignoring`: the opener no added association can displace.
    QString explicitDefault(const QString& type, const QString& ignoring = {}) const;
    /// Whether a list adds the desktop ID to the type under [Added Associations].
    bool isAdded(const QString& type, const QString& desktopId) const;

    /// The file that provides the desktop ID (the first in the applications folders); empty when none.
    QString desktopFile(const QString& desktopId) const;
    /// The Exec line of an installed entry, unescaped; empty when the entry is not installed: missing,
    /// hidden, not an application, without Exec, or with a TryExec program that cannot be found.
    QString exec(const QString& desktopId) const;

private:
    struct Folder {
        std::vector<KeyFileLines> lists; // the readable mimeapps.list files, desktop-specific first
        std::optional<KeyFileLines> cache;
    };

    QStringList typeAndParents(const QString& type) const;
    QStringList itemsFor(const KeyFileLines& list, const QString& group, const QString& type) const;
    const QHash<QString, QString>& desktopIndex(const QString& applicationDir) const;

    XdgPaths paths_;
    std::vector<Folder> folders_;
    QHash<QString, QString> aliases_;                                   // alias -> type
    QHash<QString, QStringList> parents_;                               // type -> the types it is a kind of
    mutable std::map<QString, QHash<QString, QString>> desktopIndexes_; // folder -> desktop ID -> file
};

} // namespace quillon::platform
