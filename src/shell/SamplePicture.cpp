#include "shell/SamplePicture.h"

#include "controls/FocusMark.h"
#include "shell/SampleAccessible.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace quillon {

SamplePicture::SamplePicture(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    accessibility::installSample();
    font_.setStyleStrategy(QFont::NoFontMerging);
}

void SamplePicture::clearPicture()
{
    hasText_ = false;
    lastText_.clear();
    image_ = QImage();
    drawn_ = true;
    update();
    accessibility::sampleChanged(*this);
}

void SamplePicture::setDrawingFont(const QFont& face, int pointSize, bool bold, bool italic, bool strikeOut,
                                   bool underline)
{
    const int size = pointSize > 0 ? pointSize : font_.pointSize();
    font_ = face;
    if (size > 0) font_.setPointSize(size);
    font_.setBold(bold);
    font_.setItalic(italic);
    font_.setStrikeOut(strikeOut);
    font_.setUnderline(underline);
}

void SamplePicture::printText(const QString& text)
{
    hasText_ = true;
    lastText_ = text;
    drawn_ = false;
    update();
    accessibility::sampleChanged(*this);
}

const QImage& SamplePicture::picture() const
{
    if (!drawn_) draw();
    return image_;
}

void SamplePicture::draw() const
{
    drawn_ = true;
    const QSize size = this->size().expandedTo(QSize(1, 1));
    image_ = QImage(size * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(devicePixelRatioF());
    image_.fill(palette().color(QPalette::Base));
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font_, &image_);
    // One print at the top-left corner; a line end inside the text starts the next line below.
    QString normalised = lastText_;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int y = 0;
    for (const QString& line : normalised.split(QLatin1Char('\n'))) {
        if (y > size.height()) break;
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.height();
    }
}

void SamplePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QImage& shown = picture();
    if (!shown.isNull()) painter.drawImage(0, 0, shown);
    // Over the sample, never into it: the picture keeps only the text.
    focusMark_.draw(painter, *this);
}

void SamplePicture::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (focusMark_.focusIn(event->reason())) update();
}

void SamplePicture::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (focusMark_.focusOut(event->reason())) update();
}

void SamplePicture::resizeEvent(QResizeEvent*)
{
    // A taller picture (72 points) shows more of the same sample: draw it again at the new size.
    if (hasText_) {
        drawn_ = false;
        update();
    }
}

bool SamplePicture::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTipSource) {
        // Read only when asked: the face's characters are looked up for the text on show, not on each print.
        const QString tip = toolTipSource();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

} // namespace quillon
