#pragma once
// Owns the Linux realisation of every platform interface for the life of the process.

#include "platform/MemoryRegistry.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/InstalledFonts.h"
#include "platform/linux/LinuxPrinters.h"
#include "platform/linux/LinuxSystemInfo.h"

namespace quillon::platform {

class LinuxPlatform {
public:
    LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return platform_; }

private:
    InstalledFonts installedFonts_; // before the registry: its fonts key view refers to it
    MemoryRegistry registry_;
    IniSettingsStore settings_;
    DesktopShell shell_;
    LinuxPrinters printers_;
    LinuxSystemInfo systemInfo_;
    Platform platform_;
};

} // namespace quillon::platform
