#include "platform/linux/xdg/XdgPaths.h"

#include <QDir>

namespace quillon::platform {

namespace {

// A relative path in these variables is invalid and must be ignored, as the base directory rules say.
QString folderFrom(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

QStringList foldersFrom(const char* variable, const QStringList& fallback)
{
    QStringList folders;
    for (const QString& part : qEnvironmentVariable(variable).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(part) && !folders.contains(QDir::cleanPath(part)))
            folders.append(QDir::cleanPath(part));
    return folders.isEmpty() ? fallback : folders;
}

QStringList listsIn(const QString& folder, const QStringList& desktops)
{
    QStringList lists;
    for (const QString& desktop : desktops)
        lists.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
    lists.append(folder + QStringLiteral("/mimeapps.list"));
    return lists;
}

} // namespace

XdgPaths XdgPaths::fromEnvironment()
{
    const QString home = QDir::cleanPath(qEnvironmentVariable("HOME", QDir::homePath()));
    XdgPaths paths;
    paths.configHome = folderFrom("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    paths.configDirs = foldersFrom("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    paths.dataHome = folderFrom("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    paths.dataDirs =
        foldersFrom("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (const QString& desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        paths.desktops.append(desktop.toLower());
    return paths;
}

QStringList XdgPaths::mimeappsLists() const
{
    QStringList lists = listsIn(configHome, desktops);
    for (const QString& folder : configDirs) lists += listsIn(folder, desktops);
    for (const QString& folder : applicationDirs()) lists += listsIn(folder, desktops);
    return lists;
}

QStringList XdgPaths::userMimeappsLists() const { return listsIn(configHome, desktops); }

QStringList XdgPaths::applicationDirs() const
{
    QStringList folders{userApplications()};
    for (const QString& folder : dataDirs) folders.append(folder + QStringLiteral("/applications"));
    return folders;
}

QStringList XdgPaths::mimeDirs() const
{
    QStringList folders{dataHome + QStringLiteral("/mime")};
    for (const QString& folder : dataDirs) folders.append(folder + QStringLiteral("/mime"));
    return folders;
}

} // namespace quillon::platform
