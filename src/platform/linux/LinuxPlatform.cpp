#include "platform/linux/LinuxPlatform.h"

namespace quillon::platform {

LinuxPlatform::LinuxPlatform() : platform_{registry_, settings_} {}

} // namespace quillon::platform
