#pragma once
// Finds and starts the system information tool from the registry, as the About box's System Info button
// does: the path under HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO" value "PATH", else MSINFO32.EXE in the
// folder under "SOFTWARE\Microsoft\Shared Tools Location" value "MSINFO". Plain logic over the registry
// and the shell, so tests drive it with a registry in memory and a recording shell.

#include "platform/Registry.h"

#include <QString>

#include <string>

namespace quillon {

namespace platform {
class Shell;
}

class SysInfoLauncher {
public:
    /// Size of the value buffer, bytes; a longer value is not read.
    static constexpr platform::DWORD kBufferSize = 1024;

    SysInfoLauncher(platform::Registry& registry, platform::Shell& shell) : registry_(registry), shell_(shell)
    {
    }

    /// Reads one value of a key opened for reading only. Returns false, with `value` emptied, when the key
    /// or the value cannot be read (also when it is longer than the buffer). A REG_SZ value gives its text
    /// without a stored terminator, a REG_DWORD its number in decimal; any other type leaves `value` as it
    /// was and still returns true. The key is closed again in every case.
    bool GetKeyValue(platform::HKEY root, const std::string& keyName, const std::string& valueName,
                     QString& value);

    /// Starts the tool. Returns false when nothing could be started: the caller then tells the user that
    /// system information is unavailable. A path that is found but cannot be started does not fall back to
    /// the folder.
    bool StartSysInfo();

private:
    platform::Registry& registry_;
    platform::Shell& shell_;
};

} // namespace quillon
