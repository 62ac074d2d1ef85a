#include "controls/FocusMark.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace quillon {

void drawFocusMark(QPainter& painter, const QWidget& control)
{
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
