#pragma once
// The shell on a Linux desktop: addresses go through Qt's desktop services (xdg-open or the portal),
// programs are started detached so that they outlive this process.

#include "platform/Shell.h"

namespace quillon::platform {

class DesktopShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
};

} // namespace quillon::platform
