#pragma once
// Owns the Linux realisation of every platform interface for the life of the process.

#include "platform/MemoryRegistry.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxPrinters.h"

namespace quillon::platform {

class LinuxPlatform {
public:
    LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return platform_; }

private:
    MemoryRegistry registry_;
    IniSettingsStore settings_;
    DesktopShell shell_;
    LinuxPrinters printers_;
    Platform platform_;
};

} // namespace quillon::platform
