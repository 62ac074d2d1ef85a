#include "platform/WindowActivation.h"

#include "platform/Log.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quillon::platform {

namespace {

constexpr char kTokenVariable[] = "XDG_ACTIVATION_TOKEN";
/// How long the compositor has to make the window active before the log says it did not.
constexpr int kActivationWaitMs = 1000;

bool onWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

QString fromEnvironment(const char* name) { return qEnvironmentVariable(name); }

} // namespace

QString takeActivationToken()
{
    const QString token = qEnvironmentVariable(kTokenVariable);
    qunsetenv(kTokenVariable);
    // A token is a short printable word; anything else is not one a compositor gave.
    if (token.size() > 4096) return {};
    for (const QChar c : token)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e) return {};
    return token;
}

void bringForward(QWidget& window, const QString& token)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    if (!onWayland()) {
        window.activateWindow();
        return;
    }
    // Qt's Wayland shell takes the token from the environment when the window asks to be activated, and
    // removes it once it has handed it to the compositor's activation protocol.
    if (!token.isEmpty()) qputenv(kTokenVariable, token.toUtf8());
    window.activateWindow();
    if (!token.isEmpty() && qEnvironmentVariableIsSet(kTokenVariable)) {
        qunsetenv(kTokenVariable);
        qCDebug(log::instance) << "the compositor offers no activation protocol (xdg-activation-v1), so the"
                               << "window cannot be brought forward; it stays where it is";
        return;
    }
    if (token.isEmpty())
        qCDebug(log::instance) << "the later start brought no activation token (its launcher gave none), so"
                               << "the compositor decides whether the window comes forward";
    const QPointer<QWidget> watched(&window);
    QTimer::singleShot(kActivationWaitMs, &window, [watched, token] {
        if (!watched || watched->isActiveWindow()) return;
        qCDebug(log::instance).noquote()
            << QStringLiteral(
                   "the compositor did not make the window active %1; it may only mark it as wanting "
                   "attention")
                   .arg(token.isEmpty() ? QStringLiteral("without an activation token")
                                        : QStringLiteral("for the activation token"));
    });
}

void notePlacement(const QWidget& window)
{
    if (!onWayland()) return;
    qCDebug(log::instance).noquote() << "the Wayland compositor places windows itself: the position the"
                                     << "program computes for" << window.windowTitle().trimmed()
                                     << "is not used (QT_QPA_PLATFORM=xcb runs the program on X11)";
}

QString preferredQtPlatform(QString (*environment)(const char* name))
{
    if (!environment) environment = fromEnvironment;
    if (!environment("QT_QPA_PLATFORM").isEmpty()) return {};
    const bool waylandSession = !environment("WAYLAND_DISPLAY").isEmpty() ||
                                environment("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (waylandSession && !environment("DISPLAY").isEmpty()) return QStringLiteral("xcb");
    return {};
}

} // namespace quillon::platform
