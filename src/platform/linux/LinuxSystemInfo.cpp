#include "platform/linux/LinuxSystemInfo.h"

namespace quillon::platform {

bool LinuxSystemInfo::GetVersionExA(OSVERSIONINFOA& info)
{
    if (info.dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
        info.dwOSVersionInfoSize != kOsVersionInfoExSize)
        return false;
    // Only the platform is answered; no caller reads a version number, and inventing one would mislead.
    info.dwMajorVersion = 0;
    info.dwMinorVersion = 0;
    info.dwBuildNumber = 0;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    info.szCSDVersion[0] = '\0';
    return true;
}

} // namespace quillon::platform
