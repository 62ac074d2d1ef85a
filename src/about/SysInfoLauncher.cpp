#include "about/SysInfoLauncher.h"

#include "platform/ReadableFile.h"
#include "platform/Shell.h"

#include <vector>

namespace quillon {

using namespace platform;

bool SysInfoLauncher::GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName,
                                  QString& value)
{
    HKEY key = 0;
    // Read access only: a key the user may read but not write must still read.
    if (registry_.RegOpenKeyEx(root, keyName, 0, KEY_READ, key) != ERROR_SUCCESS) {
        value.clear();
        return false;
    }
    std::vector<unsigned char> buffer(kBufferSize, 0);
    DWORD size = kBufferSize;
    DWORD type = REG_NONE;
    const LONG status = registry_.RegQueryValueEx(key, valueName, &type, buffer.data(), &size);
    registry_.RegCloseKey(key);
    if (status != ERROR_SUCCESS || size > kBufferSize) {
        value.clear();
        return false;
    }
    std::size_t n = size;
    if (n > 0 && buffer[n - 1] == 0) --n; // the stored terminator
    if (type == REG_SZ) {
        value = QString::fromUtf8(reinterpret_cast<const char*>(buffer.data()), static_cast<qsizetype>(n));
    } else if (type == REG_DWORD && size >= 4) {
        value = QString::number(
            static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
            static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24);
    }
    return true;
}

bool SysInfoLauncher::StartSysInfo()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path))
        return shell_.startProgram(path);
    QString folder;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", folder)) {
        if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
        const QString program = folder + QStringLiteral("MSINFO32.EXE");
        // A folder of that name is no program. (A hidden file would count as absent, as it does for the file
        // test on Windows, but on Linux only a name starting with a dot is hidden, and this one does not.)
        if (!folder.isEmpty() && platform::pathKind(program) == platform::PathKind::File)
            return shell_.startProgram(program);
    }
    return false;
}

} // namespace quillon
