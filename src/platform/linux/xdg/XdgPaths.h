#pragma once
// The freedesktop base folders that the desktop's file associations live in, read from the environment
// each time they are needed so that the program follows the session it runs in (and tests can point them
// at temporary folders).

#include <QString>
#include <QStringList>

namespace quillon::platform {

struct XdgPaths {
    QString configHome;     ///< $XDG_CONFIG_HOME, else ~/.config
    QStringList configDirs; ///< $XDG_CONFIG_DIRS, else /etc/xdg
    QString dataHome;       ///< $XDG_DATA_HOME, else ~/.local/share
    QStringList dataDirs;   ///< $XDG_DATA_DIRS, else /usr/local/share, /usr/share
    QStringList desktops;   ///< $XDG_CURRENT_DESKTOP, lower-cased, in its order

    static XdgPaths fromEnvironment();

    /// Every mimeapps.list in the order the desktop reads them, highest priority first: per folder the
    /// desktop-specific lists, then the plain one; the user's configuration folder, the system's, the
    /// user's applications folder, the system's.
    QStringList mimeappsLists() const;
    /// The lists in the user's configuration folder only, highest priority first; the last is the plain
    /// $XDG_CONFIG_HOME/mimeapps.list, which is where new lines go.
    QStringList userMimeappsLists() const;
    /// The applications folders, the user's first.
    QStringList applicationDirs() const;
    /// The shared MIME database folders, the user's first.
    QStringList mimeDirs() const;
    /// The user's own applications folder, where the program installs its desktop entries.
    QString userApplications() const { return dataHome + QStringLiteral("/applications"); }
};

} // namespace quillon::platform
