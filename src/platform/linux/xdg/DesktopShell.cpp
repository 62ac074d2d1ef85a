#include "platform/linux/xdg/DesktopShell.h"

#include "platform/Log.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quillon::platform {

namespace {

// Whether the desktop names a program for the MIME type. The opener itself starts and reports success
// whether or not anything handles the address, so a new message with no mail program would vanish without
// a word. When the desktop cannot be asked, the opener's own answer stands.
bool desktopHandles(const QString& mimeType)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return true;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool DesktopShell::openUrl(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty()) {
        qCDebug(log::associations) << "the address" << url.toString() << "is not one the desktop can open";
        return false;
    }
    if (url.scheme() == QLatin1String("mailto") &&
        !desktopHandles(QStringLiteral("x-scheme-handler/mailto"))) {
        qCDebug(log::associations) << "the desktop names no mail program: the new message was not started";
        return false;
    }
    if (QDesktopServices::openUrl(url)) return true;
    qCDebug(log::associations) << "the desktop's opener did not take" << url.toString();
    return false;
}

bool DesktopShell::startProgram(const QString& path)
{
    // Only a file that can be executed is started: QProcess would otherwise search PATH for a bare name,
    // and a stored path is meant to name the program itself.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable()) {
        qCDebug(log::associations) << "the program" << path
                                   << "is not an executable file named by its full path: not started";
        return false;
    }
    if (QProcess::startDetached(info.absoluteFilePath(), {})) return true;
    qCDebug(log::associations) << "the program" << path << "could not be started";
    return false;
}

} // namespace quillon::platform
