#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/registry/DesktopCommandKeyView.h"
#include "platform/linux/registry/FontsKeyView.h"
#include "platform/linux/registry/SystemInfoView.h"

namespace quillon::platform {

LinuxPlatform::LinuxPlatform()
    : printers_({}, &fontSystem_), fontChanges_(fontSystem_, installedFonts_),
      fontInstall_(fontChanges_), platform_{registry_,       settings_,   shell_,      printers_,
                                            installedFonts_, systemInfo_, fontSystem_, faceRasterizer_,
                                            fontFacts_,      faceSurvey_, glyphFaces_, fontInstall_,
                                            fontChanges_}
{
    registry_.mount(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                    std::make_unique<SystemInfoView>());
    registry_.mount(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                    std::make_unique<FontsKeyView>(installedFonts_));
    DesktopCommandKeyView::mountAll(registry_, associations_);
}

} // namespace quillon::platform
