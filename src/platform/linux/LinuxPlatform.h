#pragma once
// Owns the Linux realisation of every platform interface for the life of the process.

#include "platform/MemoryRegistry.h"
#include "platform/Platform.h"
#include "platform/linux/FontFolderWatch.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/fonts/LinuxFontFacts.h"
#include "platform/linux/fonts/LinuxFontInstall.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/freetype/FreeTypeGlyphFaces.h"
#include "platform/linux/freetype/FreeTypeRasterizer.h"
#include "platform/linux/printing/LinuxPrinters.h"
#include "platform/linux/registry/InstalledFontFiles.h"
#include "platform/linux/settings/IniSettingsStore.h"
#include "platform/linux/survey/LinuxFaceSurvey.h"
#include "platform/linux/xdg/DesktopAssociations.h"
#include "platform/linux/xdg/DesktopShell.h"

namespace quillon::platform {

class LinuxPlatform {
public:
    LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return platform_; }
    /// The desktop's file associations behind the font classes' shell command keys. The start-up hands
    /// it the program's own view and print commands (setOwnCommands) so they read back exactly.
    DesktopAssociations& associations() { return associations_; }

private:
    InstalledFontFiles installedFonts_; // before the registry: its fonts key view refers to it
    DesktopAssociations associations_;  // before the registry: the command key views refer to it
    MemoryRegistry registry_;
    IniSettingsStore settings_;
    DesktopShell shell_;
    LinuxFontSystem fontSystem_; // before the printers: their page draws face names through it
    LinuxPrinters printers_;
    LinuxSystemInfo systemInfo_;
    FreeTypeRasterizer faceRasterizer_;
    LinuxFontFacts fontFacts_;
    LinuxFaceSurvey faceSurvey_;
    FreeTypeGlyphFaces glyphFaces_;
    FontFolderWatch fontChanges_; // after the font system and the installed fonts, which it brings up to date
    LinuxFontInstall fontInstall_;
    Platform platform_;
};

} // namespace quillon::platform
