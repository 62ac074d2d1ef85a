#include "controls/FocusMark.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace quillon {

bool FocusMark::focusIn(Qt::FocusReason reason)
{
    const bool was = visible();
    focused_ = true;
    // Back to the window (or out of a menu): as it was before.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        fromKeyboard_ = reason != Qt::MouseFocusReason;
    return visible() != was;
}

bool FocusMark::focusOut(Qt::FocusReason)
{
    const bool was = visible();
    focused_ = false;
    return visible() != was;
}

void FocusMark::draw(QPainter& painter, const QWidget& control) const
{
    if (!visible()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    QPen pen(control.palette().color(QPalette::Active, QPalette::Highlight));
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(control.rect()).adjusted(1, 1, -1, -1));
    painter.restore();
}

} // namespace quillon
