#include "registry/RegistryModule.h"

#include "platform/NativeText.h"

#include <string>
#include <vector>

namespace quillon {

using namespace platform;

namespace {

// The "ANSI code page" of the Linux realisation: UTF-8, with the bytes of a file name that is not UTF-8
// kept as they are, so that a font file's name reads back as the very bytes the system gave.
std::string ansi(const QString& text) { return platform::nativeBytes(text).toStdString(); }

} // namespace

QString RegistryModule::CreateRegKey(HKEY root, const QString& path)
{
    HKEY key = 0;
    DWORD disposition = 0;
    const LONG status = registry_.RegCreateKeyEx(root, ansi(path), 0, KEY_ALL_ACCESS, key, &disposition);
    if (status == ERROR_SUCCESS) registry_.RegCloseKey(key);
    return status == ERROR_SUCCESS ? kRegSuccess : kRegError;
}

RegValue RegistryModule::GetRegValue(HKEY root, const QString& path, const QString& name)
{
    HKEY key = 0;
    if (registry_.RegOpenKeyEx(root, ansi(path), 0, KEY_READ, key) != ERROR_SUCCESS) return kRegError;
    RegValue result;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const std::string valueName = ansi(name);
    if (registry_.RegQueryValueEx(key, valueName, &type, nullptr, &size) != ERROR_SUCCESS) {
        result = kRegError;
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::vector<unsigned char> buffer(size, 0);
        DWORD read = size;
        if (registry_.RegQueryValueEx(key, valueName, &type, buffer.data(), &read) == ERROR_SUCCESS)
            result = platform::fromNativeBytes(
                QByteArrayView(reinterpret_cast<const char*>(buffer.data()), static_cast<qsizetype>(size)));
    } else if (type == REG_DWORD) {
        unsigned char bytes[4] = {};
        DWORD read = sizeof bytes;
        if (registry_.RegQueryValueEx(key, valueName, &type, bytes, &read) == ERROR_SUCCESS)
            result = static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                               static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    registry_.RegCloseKey(key);
    return result;
}

QString RegistryModule::SetRegValue(HKEY root, const QString& path, const QString& name, int typeCode,
                                    const RegInput& value)
{
    HKEY key = 0;
    if (registry_.RegOpenKeyEx(root, ansi(path), 0, KEY_ALL_ACCESS, key) != ERROR_SUCCESS) return kRegError;
    QString status = kRegSuccess;
    if (typeCode == 1 || typeCode == 2) {
        const std::string data = std::holds_alternative<QString>(value)
                                     ? ansi(std::get<QString>(value))
                                     : std::to_string(std::get<std::int32_t>(value));
        const LONG rc = registry_.RegSetValueEx(key, ansi(name), REG_SZ,
                                                reinterpret_cast<const unsigned char*>(data.data()),
                                                static_cast<DWORD>(data.size()));
        status = rc == ERROR_SUCCESS ? kRegSuccess : kRegError;
    } else if (typeCode == 4) {
        bool ok = true;
        std::int32_t number = std::holds_alternative<std::int32_t>(value)
                                  ? std::get<std::int32_t>(value)
                                  : std::get<QString>(value).trimmed().toInt(&ok);
        if (!ok) {
            status = kRegError; // text that is not a number cannot become a REG_DWORD
        } else {
            const auto u = static_cast<std::uint32_t>(number);
            const unsigned char bytes[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                            static_cast<unsigned char>(u >> 16),
                                            static_cast<unsigned char>(u >> 24)};
            status = registry_.RegSetValueEx(key, ansi(name), REG_DWORD, bytes, 4) == ERROR_SUCCESS
                         ? kRegSuccess
                         : kRegError;
        }
    }
    registry_.RegCloseKey(key);
    return status;
}

QString RegistryModule::DeleteRegValue(HKEY root, const QString& path, const QString& name)
{
    HKEY key = 0;
    if (registry_.RegOpenKeyEx(root, ansi(path), 0, KEY_ALL_ACCESS, key) != ERROR_SUCCESS) return kRegError;
    const LONG rc = registry_.RegDeleteValue(key, ansi(name));
    registry_.RegCloseKey(key);
    return rc == ERROR_SUCCESS ? kRegSuccess : kRegError;
}

QString regValueText(const RegValue& value)
{
    if (const auto* text = std::get_if<QString>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return QString::number(*number);
    return QString();
}

} // namespace quillon
