#pragma once
// What the program asks about the operating system itself (kernel32's version query). Members are added
// here as the program needs them.

#include "platform/Registry.h"

namespace quillon::platform {

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

/// The ANSI version record; the caller sets dwOSVersionInfoSize to its size, 148 bytes.
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

/// The extended record's size (OSVERSIONINFOEXA), which the call also accepts.
inline constexpr DWORD kOsVersionInfoExSize = 156;

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    /// Fills the record when its size field is 148 or 156 and returns true; otherwise changes nothing and
    /// returns false, as the system call does.
    virtual bool GetVersionExA(OSVERSIONINFOA& info) = 0;
};

} // namespace quillon::platform
