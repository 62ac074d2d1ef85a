#include "shell/ReturnToWindow.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace quillon {

ReturnToWindow::ReturnToWindow(QWidget& main, QWidget& back, std::chrono::milliseconds within)
    : QObject(&back), main_(&main), back_(back)
{
    main.installEventFilter(this);
    QTimer::singleShot(within, this, &QObject::deleteLater);
}

bool ReturnToWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != main_ || event->type() != QEvent::ActivationChange || !main_->isActiveWindow())
        return QObject::eventFilter(watched, event);
    main_->removeEventFilter(this);
    back_.raise();
    back_.activateWindow();
    deleteLater();
    return true;
}

} // namespace quillon
