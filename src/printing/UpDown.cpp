#include "printing/UpDown.h"

#include "printing/UpDownAccessible.h"

#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

namespace quillon {

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    // The arrows show no text; a reader speaks these.
    up_->setAccessibleName(QStringLiteral("Up"));
    down_->setAccessibleName(QStringLiteral("Down"));
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(up_, &QToolButton::clicked, this, &UpDown::clickUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::clickDown);
    setFocusPolicy(Qt::TabFocus);
    accessibility::installUpDown();
}

bool UpDown::setValue(int value)
{
    if (value < min_ || value > max_) return false;
    value_ = value;
    return true;
}

void UpDown::setRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    value_ = std::clamp(value_, min_, max_);
}

void UpDown::clickUp()
{
    value_ = value_ > max_ - increment_ ? max_ : value_ + increment_;
    emit UpClick();
}

void UpDown::clickDown()
{
    value_ = value_ < min_ + increment_ ? min_ : value_ - increment_;
    emit DownClick();
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        clickUp();
    else if (event->key() == Qt::Key_Down)
        clickDown();
    else
        QWidget::keyPressEvent(event);
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace quillon
