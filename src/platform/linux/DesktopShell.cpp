#include "platform/linux/DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace quillon::platform {

bool DesktopShell::openUrl(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty()) return false;
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString& path)
{
    // Only a file that can be executed is started: QProcess would otherwise search PATH for a bare name,
    // and a stored path is meant to name the program itself.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable()) return false;
    return QProcess::startDetached(info.absoluteFilePath(), {});
}

} // namespace quillon::platform
