#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/SystemInfoView.h"

namespace quillon::platform {

LinuxPlatform::LinuxPlatform() : platform_{registry_, settings_, shell_, printers_}
{
    registry_.mount(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                    std::make_unique<SystemInfoView>());
}

} // namespace quillon::platform
