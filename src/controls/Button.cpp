#include "controls/Button.h"

#include "base/WindowGeometry.h"
#include "controls/AccessibleControls.h"
#include "controls/ButtonPainter.h"
#include "controls/Contrast.h"
#include "controls/FocusMark.h"
#include "controls/OleColor.h"
#include "controls/PropertyBag.h"
#include "controls/QtButtonSurface.h"
#include "controls/WindowsKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quillon {

namespace {

const QString kCaption = QStringLiteral("Caption");
const QString kEnabled = QStringLiteral("Enabled");
const QString kBackColor = QStringLiteral("BackColor");
const QString kForeColor = QStringLiteral("ForeColor");

QVariant colourVariant(std::uint32_t colour) { return QVariant::fromValue<quint32>(colour); }

} // namespace

Button::Button(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Mouse moves are reported whether or not a button is held.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    accessibility::installControls();
    InitProperties();
    resize(px(kPlacedWidth), px(kPlacedHeight));
}

void Button::setEnabled(bool enabled)
{
    enabled_ = enabled;
    repaint();
    emit propertyChanged(kEnabled);
}

void Button::setForeColor(std::uint32_t colour)
{
    penColour_ = colour;
    foreColor_ = colour;
    repaint();
    emit propertyChanged(kForeColor);
}

void Button::setBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    repaint();
    emit propertyChanged(kBackColor);
}

void Button::setCaption(const QString& caption)
{
    caption_ = caption;
    repaint();
    emit propertyChanged(kCaption);
}

void Button::InitProperties()
{
    hasFocus_ = false;
    enabled_ = true;
    backColor_ = kDefaultBackColor;
    foreColor_ = kDefaultForeColor;
    penColour_ = kDefaultForeColor;
    caption_ = kDefaultCaption;
}

void Button::ReadProperties(PropertyBag& bag)
{
    caption_ = bag.ReadProperty(kCaption, kDefaultCaption).toString();
    enabled_ = bag.ReadProperty(kEnabled, true).toBool();
    QWidget::setEnabled(enabled_);
    // A colour the store cannot give as a number leaves the one held before.
    backColor_ = OleColor::fromVariant(bag.ReadProperty(kBackColor, colourVariant(kDefaultBackColor)))
                     .value_or(backColor_);
    foreColor_ = OleColor::fromVariant(bag.ReadProperty(kForeColor, colourVariant(kDefaultForeColor)))
                     .value_or(foreColor_);
    penColour_ = foreColor_;
    update();
}

void Button::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(kCaption, caption_, kDefaultCaption);
    bag.WriteProperty(kEnabled, enabled_, true);
    bag.WriteProperty(kBackColor, colourVariant(backColor_), colourVariant(kDefaultBackColor));
    bag.WriteProperty(kForeColor, colourVariant(foreColor_), colourVariant(kDefaultForeColor));
}

void Button::paint(ButtonSurface& surface)
{
    ButtonLook look;
    look.width = int(twips(width()));
    look.height = int(twips(height()));
    look.caption = caption_;
    look.backColor = backColor_;
    look.foreColor = readableCaption();
    look.pressed = isPressed_;
    look.windowEnabled = windowEnabled();
    const ButtonGeometry g = ButtonPainter::paint(surface, look);
    drawWidth_ = g.drawWidth;
    drawHeight_ = g.drawHeight;
    penColour_ = foreColor_;
}

QSize Button::sizeHint() const { return {px(kPlacedWidth), px(kPlacedHeight)}; }

std::uint32_t Button::readableCaption() const
{
    // A caption colour that the theme chose (the button text of a dark theme, light on the magenta fill of
    // the help button) may not read on the fill the button keeps; then black or white is drawn instead.
    // Where it reads, as the written button text does on every fill the program uses, it stays.
    const QColor caption = OleColor::toQColor(foreColor_, palette());
    const QColor fill = OleColor::toQColor(backColor_, palette());
    const QColor readable = contrast::readableOn(caption, fill);
    if (readable == caption) return foreColor_;
    return OleColor::rgb(readable.red(), readable.green(), readable.blue());
}

void Button::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtButtonSurface surface(painter, rect(), palette(), font());
    paint(surface);
    focusMark_.draw(painter, *this);
}

// The focus mark is the only change the focus makes to the look.
void Button::focusInEvent(QFocusEvent* event)
{
    hasFocus_ = true;
    if (focusMark_.focusIn(event->reason())) update();
}

void Button::focusOutEvent(QFocusEvent* event)
{
    hasFocus_ = false;
    if (focusMark_.focusOut(event->reason())) update();
}

void Button::keyPressEvent(QKeyEvent* event)
{
    // Enter clicks the button whatever Enabled says; no other key does anything here.
    if (WindowsKeys::keyCode(*event) == 13 && hasFocus_) {
        emit Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Button::mousePressEvent(QMouseEvent* event)
{
    if (!enabled_) return;
    isPressed_ = true;
    repaint();
    emit MouseDown(WindowsKeys::mouseButtons(event->button()), WindowsKeys::shiftState(event->modifiers()),
                   float(twips(event->position().x())), float(twips(event->position().y())));
}

void Button::mouseReleaseEvent(QMouseEvent* event)
{
    if (!enabled_) return;
    // The release comes here even outside the control, since the press grabbed the mouse, so the
    // pressed look always ends; it is a click only where the button was released over the control.
    isPressed_ = false;
    repaint();
    emit MouseUp(WindowsKeys::mouseButtons(event->button()), WindowsKeys::shiftState(event->modifiers()),
                 float(twips(event->position().x())), float(twips(event->position().y())));
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && enabled_)
        emit Click();
}

void Button::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(WindowsKeys::mouseButtons(event->buttons()), WindowsKeys::shiftState(event->modifiers()),
                   float(twips(event->position().x())), float(twips(event->position().y())));
}

bool Button::windowEnabled() const
{
    // Only the control's own window counts; a disabled parent does not grey the caption.
    return parentWidget() ? isEnabledTo(parentWidget()) : isEnabled();
}

} // namespace quillon
