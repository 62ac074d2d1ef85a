#pragma once
// Shared by the options tests: a settings store in memory, a registry that records what is written to it,
// and a private desktop (XDG folders in a temporary folder) so no test touches the user's own files.

#include "platform/MemoryRegistry.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <utility>
#include <vector>

namespace quillon::testing {

class MemorySettings final : public platform::SettingsStore {
public:
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override
    {
        values[app + '/' + section + '/' + key] = value;
        ++saves;
    }
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override
    {
        return values.value(app + '/' + section + '/' + key, defaultValue);
    }
    QString get(const QString& key) const { return values.value("Quillon/Settings/" + key, "<absent>"); }
    void set(const QString& key, const QString& value) { values["Quillon/Settings/" + key] = value; }

    QMap<QString, QString> values;
    int saves = 0;
};

/// A MemoryRegistry that logs every key created and every value written, as "HKCR path" / "HKLM path".
class RecordingRegistry final : public platform::Registry {
public:
    using HKEY = platform::HKEY;
    using LONG = platform::LONG;
    using DWORD = platform::DWORD;

    LONG RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                      HKEY& result) override
    {
        const LONG rc = inner.RegOpenKeyEx(root, subKey, options, access, result);
        if (rc == platform::ERROR_SUCCESS) paths[result] = name(root) + ' ' + QString::fromStdString(subKey);
        return rc;
    }
    LONG RegCreateKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access, HKEY& result,
                        DWORD* disposition) override
    {
        created.append(name(root) + ' ' + QString::fromStdString(subKey));
        const LONG rc = inner.RegCreateKeyEx(root, subKey, options, access, result, disposition);
        if (rc == platform::ERROR_SUCCESS) paths[result] = created.last();
        return rc;
    }
    LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD* type, unsigned char* data,
                      DWORD* dataSize) override
    {
        return inner.RegEnumValue(key, index, name, nameLength, type, data, dataSize);
    }
    LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, unsigned char* data,
                         DWORD* dataSize) override
    {
        return inner.RegQueryValueEx(key, name, type, data, dataSize);
    }
    LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const unsigned char* data,
                       DWORD size) override
    {
        written.append(paths.value(key));
        return inner.RegSetValueEx(key, name, type, data, size);
    }
    LONG RegDeleteValue(HKEY key, const std::string& name) override
    {
        deleted.append(paths.value(key));
        return inner.RegDeleteValue(key, name);
    }
    LONG RegCloseKey(HKEY key) override
    {
        paths.remove(key);
        return inner.RegCloseKey(key);
    }

    /// Stores a key's default value as another program would: with its terminator.
    void storeForeign(HKEY root, const std::string& path, const std::string& text)
    {
        HKEY key = 0;
        inner.RegCreateKeyEx(root, path, 0, platform::KEY_ALL_ACCESS, key, nullptr);
        const std::string data = text + '\0';
        inner.RegSetValueEx(key, "", platform::REG_SZ, reinterpret_cast<const unsigned char*>(data.data()),
                            static_cast<DWORD>(data.size()));
        inner.RegCloseKey(key);
    }
    /// A key's default value as raw bytes; nullopt when the key or value is missing.
    std::optional<std::string> read(HKEY root, const std::string& path)
    {
        HKEY key = 0;
        if (inner.RegOpenKeyEx(root, path, 0, platform::KEY_READ, key) != platform::ERROR_SUCCESS)
            return std::nullopt;
        DWORD size = 0;
        DWORD type = 0;
        std::optional<std::string> value;
        if (inner.RegQueryValueEx(key, "", &type, nullptr, &size) == platform::ERROR_SUCCESS) {
            std::string data(size, '\0');
            inner.RegQueryValueEx(key, "", &type, reinterpret_cast<unsigned char*>(data.data()), &size);
            value = data;
        }
        inner.RegCloseKey(key);
        return value;
    }

    static QString name(HKEY root)
    {
        return root == platform::HKEY_CLASSES_ROOT    ? "HKCR"
               : root == platform::HKEY_LOCAL_MACHINE ? "HKLM"
                                                      : "?";
    }

    platform::MemoryRegistry inner;
    QStringList created;
    QStringList written;
    QStringList deleted;
    QMap<HKEY, QString> paths;
};

/// Points the XDG variables at folders in a temporary folder for the life of the object: the user's
/// config and data folders, a "system" applications folder, and the machine's MIME database (linked) so
/// that type aliases and parents are known. XDG_CURRENT_DESKTOP is cleared.
class PrivateDesktop {
public:
    PrivateDesktop()
    {
        for (const char* sub :
             {"config", "etc", "data/applications", "sys/applications", "share", "home", "bin"})
            QDir(root.path()).mkpath(sub);
        QFile::link("/usr/share/mime", root.filePath("share/mime"));
        setVariable("XDG_CONFIG_HOME", root.filePath("config"));
        setVariable("XDG_CONFIG_DIRS", root.filePath("etc"));
        setVariable("XDG_DATA_HOME", root.filePath("data"));
        setVariable("XDG_DATA_DIRS", root.filePath("sys") + ':' + root.filePath("share"));
        setVariable("HOME", root.filePath("home"));
        setVariable("XDG_CURRENT_DESKTOP", std::nullopt);
    }
    ~PrivateDesktop()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    void setVariable(const char* name, const std::optional<QString>& value)
    {
        saved_.emplace_back(QByteArray(name), qEnvironmentVariableIsSet(name)
                                                  ? std::optional<QByteArray>(qgetenv(name))
                                                  : std::nullopt);
        if (value)
            qputenv(name, value->toUtf8());
        else
            qunsetenv(name);
    }

    QString path(const QString& relative) const { return root.filePath(relative); }
    QString userList() const { return path("config/mimeapps.list"); }

    /// An executable script in the private bin folder; returns its path.
    QString program(const QString& name) const
    {
        const QString file = path("bin/" + name);
        write(file, QByteArray("#!/bin/sh\nexit 0\n"));
        QFile::setPermissions(file,
                              QFile::permissions(file) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        return file;
    }
    /// A desktop entry in an applications folder ("sys" or "data").
    void installApp(const QString& where, const QString& id, const QString& exec,
                    const QString& extra = {}) const
    {
        write(path(where + "/applications/" + id),
              "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec + "\n" + extra);
    }
    /// The system applications folder's mimeinfo.cache, as update-desktop-database would write it.
    void writeSystemCache(const QStringList& lines) const
    {
        write(path("sys/applications/mimeinfo.cache"), "[MIME Cache]\n" + lines.join('\n') + "\n");
    }

    static void write(const QString& file, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
    }
    static void write(const QString& file, const QString& text) { write(file, text.toUtf8()); }
    static std::optional<QByteArray> read(const QString& file)
    {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
        return in.readAll();
    }

private:
    QTemporaryDir root;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

} // namespace quillon::testing
