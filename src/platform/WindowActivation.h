#pragma once
// Bringing a window forward when a later start hands over to the running copy, and the choice of window
// system the program runs on.
//
// On X11 the program raises and activates its window itself. A Wayland compositor lets a window take the
// focus only with an activation token that the launcher gave the later start (XDG_ACTIVATION_TOKEN) and that
// start handed on: Qt 6.4 offers no call for it, but its Wayland shell reads the token from the environment
// when a window asks to be activated, and forgets it after. Without a token, or on a compositor without the
// activation protocol, the compositor decides (most leave the window where it is and mark it as wanting
// attention), and the log says so.

#include <QString>

class QWidget;

namespace quillon::platform {

/// The activation token a launcher gave this start, taken out of the environment (a token is good for one
/// activation, so a window this process shows later does not spend it); empty when there is none.
QString takeActivationToken();

/// Restores, shows, raises and activates `window`; on Wayland with `token` as the activation token when
/// one is given. Logs (quillon.instance) when the platform or the compositor cannot bring it forward.
void bringForward(QWidget& window, const QString& token);

/// Logs, when a window is shown, that the compositor places windows itself (Wayland), so the position the
/// program computes for `window` is not used. Does nothing where windows are placed by the program.
void notePlacement(const QWidget& window);

/// The Qt platform to run on when the user named none (QT_QPA_PLATFORM unset): "xcb" in a Wayland session
/// that also offers X11 (XWayland), where the program can place its windows over one another and bring its
/// window forward on a later start as the program is meant to; empty to leave the choice to Qt.
/// `environment` reads a variable (qEnvironmentVariable by default).
QString preferredQtPlatform(QString (*environment)(const char* name) = nullptr);

} // namespace quillon::platform
