#include "shell/ScreenFit.h"

#include "base/WindowGeometry.h"
#include "platform/WindowActivation.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace quillon {

namespace {

bool isProgramWindow(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen) return false;
    return QLatin1String(object->metaObject()->className()).startsWith(QLatin1String("quillon::"));
}

void describeControls(QWidget& window)
{
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString tip = control->toolTip().trimmed();
        if (!tip.isEmpty() && control->accessibleDescription().isEmpty())
            control->setAccessibleDescription(tip);
    }
}

} // namespace

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

ScreenFit::~ScreenFit() { qApp->removeEventFilter(this); }

void ScreenFit::fit(QWidget& window)
{
    const QScreen* screen = QGuiApplication::screenAt(window.geometry().center());
    if (!screen) screen = window.screen();
    if (!screen) return;
    // Before the window is mapped its frame is not known yet: a fixed window's usual frame stands in.
    // move() places the frame's top left, which is where pos() is.
    QRect frame = window.frameGeometry();
    if (frame.size() == window.size())
        frame = QRect(window.pos(), window.size() + QSize(px(kFrameExtraWidth), px(kFrameExtraHeight)));
    const QPoint at = keptWithin(frame, screen->availableGeometry());
    if (at != frame.topLeft()) window.move(at);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && isProgramWindow(watched)) {
        auto& window = *static_cast<QWidget*>(watched);
        platform::notePlacement(window);
        fit(window);
        describeControls(window);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillon
