#pragma once
// The version query on Linux: the program runs as on the Windows NT family, so the display fonts key of
// the older family is never read.

#include "platform/SystemInfo.h"

namespace quillon::platform {

class LinuxSystemInfo final : public SystemInfo {
public:
    bool GetVersionExA(OSVERSIONINFOA& info) override;
};

} // namespace quillon::platform
