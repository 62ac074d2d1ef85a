#include "summary/PictureBox.h"

#include "controls/FocusMark.h"

#include <QPaintEvent>
#include <QPainter>

namespace quillon {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

QColor PictureBox::backColor() const { return palette().color(QPalette::Base); }
QColor PictureBox::foreColor() const { return palette().color(QPalette::Text); }

void PictureBox::makeImage()
{
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    // Points become pixels at the screen's logical resolution, as they do for text drawn on the box itself.
    const int dotsPerMeterX = qRound(logicalDpiX() / 0.0254);
    const int dotsPerMeterY = qRound(logicalDpiY() / 0.0254);
    image.setDotsPerMeterX(dotsPerMeterX);
    image.setDotsPerMeterY(dotsPerMeterY);
    image.fill(backColor());
    if (!image_.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, image_);
    }
    image_ = image;
}

QImage& PictureBox::image()
{
    if (image_.isNull() || image_.size() != size() * devicePixelRatioF()) makeImage();
    return image_;
}

void PictureBox::Cls() { image().fill(backColor()); }

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    makeImage();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), backColor());
    painter.drawImage(QPoint(0, 0), image());
    // The focus mark: a keyboard user sees that the arrow keys go to the picture. Drawn over the kept
    // picture, never into it.
    focusMark_.draw(painter, *this);
}

void PictureBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (focusMark_.focusIn(event->reason())) update();
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (focusMark_.focusOut(event->reason())) update();
}

} // namespace quillon
