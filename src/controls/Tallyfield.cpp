#include "controls/Tallyfield.h"

#include "base/WindowGeometry.h"
#include "controls/AccessibleControls.h"
#include "controls/NumberMask.h"
#include "controls/OleColor.h"
#include "controls/PropertyBag.h"
#include "controls/WindowsKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace quillon {

namespace {

const QString kValue = QStringLiteral("Value");
const QString kFormat = QStringLiteral("Format");
const QString kEnabled = QStringLiteral("Enabled");
const QString kPositiveOnly = QStringLiteral("PositiveOnly");
const QString kBackColor = QStringLiteral("BackColor");
const QString kForeColor = QStringLiteral("ForeColor");
const QString kLocked = QStringLiteral("Locked");

// The text a freshly placed text box carries; a change to it is not a number being typed.
const QString kDesignText = QStringLiteral("txtNumber");

constexpr short kCtrl = 2;
constexpr short kKeyC = 67;
constexpr short kKeyV = 86;
constexpr short kKeyX = 88;

} // namespace

Tallyfield::Tallyfield(QWidget* parent) : QWidget(parent), beep_([] { QApplication::beep(); })
{
    txtNumber = new QLineEdit(this);
    txtNumber->setObjectName(QStringLiteral("txtNumber"));
    txtNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Every way in for text other than the keyboard and the clipboard keys stays shut where it can:
    // dropped text and input-method compositions would bypass the character filter.
    txtNumber->setAcceptDrops(false);
    txtNumber->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtNumber->setMouseTracking(true);
    txtNumber->installEventFilter(this);
    setFocusProxy(txtNumber);
    accessibility::installControls();
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumHeight(px(kMinimumHeight));
    connect(txtNumber, &QLineEdit::textChanged, this, &Tallyfield::txtNumber_Change);
    InitProperties();
    resize(px(kPlacedWidth), px(kPlacedHeight));
}

QVariant Tallyfield::Value()
{
    numberText_ = txtNumber->text();
    UnformatNumeric();
    if (numberText_.isEmpty()) return QVariant::fromValue<short>(0);
    return QVariant(NumberMask::leadingValue(numberText_));
}

void Tallyfield::setValue(const QVariant& value)
{
    numberText_ = NumberMask::valueText(value);
    UnformatNumeric();
    ApplyFormat();
    lastText_ = numberText_;
    showText(numberText_);
    emit Change();
    storedValue_ = value;
    emit propertyChanged(kValue);
}

void Tallyfield::setFormat(const QString& format)
{
    format_ = format;
    ParseFormat();
    emit propertyChanged(kFormat);
}

void Tallyfield::setEnabled(bool enabled)
{
    enabled_ = enabled;
    txtNumber->setEnabled(enabled);
    emit propertyChanged(kEnabled);
}

void Tallyfield::setPositiveOnly(bool positiveOnly)
{
    positiveOnly_ = positiveOnly;
    emit propertyChanged(kPositiveOnly);
}

void Tallyfield::setBackColor(const QString& colour)
{
    backColor_ = colour;
    applyColour(colour, true);
    emit propertyChanged(kBackColor);
}

void Tallyfield::setForeColor(const QString& colour)
{
    foreColor_ = colour;
    applyColour(colour, false);
    emit propertyChanged(kForeColor);
}

void Tallyfield::setLocked(bool locked)
{
    locked_ = locked;
    txtNumber->setReadOnly(locked);
    // QLineEdit turns input methods back on when it becomes writable.
    txtNumber->setAttribute(Qt::WA_InputMethodEnabled, false);
    emit propertyChanged(kLocked);
}

void Tallyfield::UnformatNumeric()
{
    CleanNumber clean = NumberMask::UnformatNumeric(numberText_, positiveOnly_);
    numberText_ = clean.text;
    isNonNegative_ = clean.isNonNegative;
}

void Tallyfield::FormatNumeric()
{
    UnformatNumeric();
    ApplyFormat();
    showText(numberText_);
}

void Tallyfield::Refresh() { txtNumber->repaint(); }

void Tallyfield::Highlight()
{
    numberText_ = txtNumber->text();
    UnformatNumeric();
    showText(numberText_);
    txtNumber->setSelection(0, int(txtNumber->text().size()));
    emit Change();
}

void Tallyfield::InitProperties()
{
    format_ = kDefaultFormat;
    maxLength_ = 10;
    enabled_ = true;
    positiveOnly_ = false;
    backColor_ = kDefaultBackColor;
    foreColor_ = kDefaultForeColor;
    locked_ = false;
    storedValue_ = QString("");
    txtNumber->setEnabled(true);
    txtNumber->setReadOnly(false);
    txtNumber->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void Tallyfield::ReadProperties(PropertyBag& bag)
{
    format_ = bag.ReadProperty(kFormat, kDefaultFormat).toString();
    ParseFormat();
    enabled_ = bag.ReadProperty(kEnabled, true).toBool();
    txtNumber->setEnabled(enabled_);
    positiveOnly_ = bag.ReadProperty(kPositiveOnly, false).toBool();
    backColor_ = bag.ReadProperty(kBackColor, kDefaultBackColor).toString();
    applyColour(backColor_, true);
    foreColor_ = bag.ReadProperty(kForeColor, kDefaultForeColor).toString();
    applyColour(foreColor_, false);
    storedValue_ = bag.ReadProperty(kValue, QString(""));
    locked_ = bag.ReadProperty(kLocked, false).toBool();
    txtNumber->setReadOnly(locked_);
    txtNumber->setAttribute(Qt::WA_InputMethodEnabled, false);
    numberText_ = NumberMask::valueText(storedValue_);
    FormatNumeric();
}

void Tallyfield::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(kValue, storedValue_, QString(""));
    bag.WriteProperty(kFormat, format_, kDefaultFormat);
    bag.WriteProperty(kEnabled, enabled_, true);
    bag.WriteProperty(kPositiveOnly, positiveOnly_, false);
    bag.WriteProperty(kBackColor, backColor_, kDefaultBackColor);
    bag.WriteProperty(kForeColor, foreColor_, kDefaultForeColor);
    bag.WriteProperty(kLocked, locked_, false);
}

QString Tallyfield::shownText() const { return txtNumber->text(); }

void Tallyfield::setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

QSize Tallyfield::sizeHint() const { return {px(kPlacedWidth), px(kPlacedHeight)}; }

QSize Tallyfield::minimumSizeHint() const { return {0, px(kMinimumHeight)}; }

void Tallyfield::ParseFormat() { maxLength_ = NumberMask::ParseFormat(format_); }

void Tallyfield::ApplyFormat()
{
    MaskedNumber masked = NumberMask::ApplyFormat(numberText_, format_, isNonNegative_, positiveOnly_);
    numberText_ = masked.text;
    maskText_ = masked.maskText;
}

void Tallyfield::showText(const QString& text)
{
    // Setting the text runs the change handling at once, as typing does.
    txtNumber->setText(text);
}

void Tallyfield::applyColour(const QString& text, bool background)
{
    QString number = text;
    if (number.endsWith(u'&')) number.chop(1);
    const std::optional<std::uint32_t> colour = OleColor::fromText(number);
    if (!colour) return;
    QPalette palette = txtNumber->palette();
    const QPalette::ColorRole role = background ? QPalette::Base : QPalette::Text;
    // System colours follow the application's palette, not whatever this box was given before.
    palette.setColor(role, OleColor::toQColor(*colour, QApplication::palette()));
    txtNumber->setPalette(palette);
}

void Tallyfield::txtNumber_Change()
{
    const QString text = txtNumber->text();
    if (text == kDesignText) return;
    numberText_ = text;
    UnformatNumeric();
    if (lastText_.toString() == numberText_) return;
    // The old text may be a masked one, read only as far as its leading number goes: "1,234.50" counts
    // as 1. That is how a change of value is told from a change of spelling such as "5" to "5.".
    const double before = NumberMask::leadingValue(lastText_.toString());
    lastText_ = numberText_;
    if (before != NumberMask::leadingValue(numberText_)) emit Change();
}

void Tallyfield::txtNumber_GotFocus()
{
    hasFocus_ = true;
    if (locked_) {
        txtNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return;
    }
    txtNumber->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    numberText_ = txtNumber->text();
    UnformatNumeric();
    lastText_ = numberText_;
    showText(numberText_);
    txtNumber->selectAll();
}

void Tallyfield::txtNumber_LostFocus()
{
    hasFocus_ = false;
    if (locked_) return;
    numberText_ = txtNumber->text();
    FormatNumeric();
    txtNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void Tallyfield::txtNumber_KeyDown(QKeyEvent* event)
{
    short keyCode = WindowsKeys::keyCode(*event);
    const short shift = WindowsKeys::shiftState(event->modifiers());
    if (shift == kCtrl) {
        QClipboard* clipboard = QApplication::clipboard();
        if (keyCode == kKeyC) {
            clipboard->setText(txtNumber->text());
        } else if (keyCode == kKeyV) {
            showText(clipboard->text());
            // The change handling has cleaned the pasted text unless it was the text already shown;
            // cleaning it again here makes the mask start from the pasted text in both cases.
            numberText_ = txtNumber->text();
            UnformatNumeric();
            ApplyFormat();
            showText(numberText_);
            txtNumber->selectAll();
        } else if (keyCode == kKeyX) {
            clipboard->setText(txtNumber->text());
            showText(QString());
        }
    }
    emit KeyPress(keyCode);
}

bool Tallyfield::txtNumber_KeyPress(QKeyEvent* event)
{
    // The character the key types, as the text box would receive it; -1 when it types none (Delete and the
    // arrows reach the text box without passing the filter).
    const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    const int ch = WindowsKeys::typedCharacter(*event);
    if (ch < 0) return false;

    const QString text = txtNumber->text();
    const qsizetype selected = txtNumber->selectedText().size();
    const bool overLength = selected < text.size() && text.size() >= maxLength_ && maxLength_ != 0;
    const int selStart =
        txtNumber->hasSelectedText() ? txtNumber->selectionStart() : txtNumber->cursorPosition();

    bool accept = false;
    bool beep = false;
    if (locked_) {
        accept = false;
    } else if (alt) {
        accept = false; // Alt with a key is a command for the window, never typing
    } else if (ch >= '0' && ch <= '9') {
        beep = overLength;
        accept = !overLength;
    } else if (ch == 8) {
        accept = true;
    } else if (ch == '.') {
        beep = overLength;
        accept = !overLength && format_.contains(u'.') && !(selected < text.size() && text.contains(u'.'));
    } else if (ch == '-') {
        beep = overLength;
        accept = !overLength && !positiveOnly_ && selStart == 0;
    }
    if (accept) return false;
    if (beep && beep_) beep_();
    // Keys the window acts on (Enter for its default button, Escape, Alt shortcuts) go on to it.
    if (ch == 13 || ch == 27 || alt)
        event->ignore();
    else
        event->accept();
    return true;
}

void Tallyfield::txtNumber_Mouse(QMouseEvent* event, bool press)
{
    const short shift = WindowsKeys::shiftState(event->modifiers());
    const float x = float(twips(event->position().x()));
    const float y = float(twips(event->position().y()));
    if (press)
        emit MouseDown(WindowsKeys::mouseButtons(event->button()), shift, x, y);
    else
        emit MouseMove(WindowsKeys::mouseButtons(event->buttons()), shift, x, y);
}

bool Tallyfield::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtNumber) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Coming back from another window or from the box's own context menu is not entering the field.
        if (!hasFocus_) txtNumber_GotFocus();
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (hasFocus_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtNumber_LostFocus();
        break;
    }
    case QEvent::Hide:
        // A window closed while the field held the focus: showing it again enters the field afresh.
        hasFocus_ = false;
        break;
    case QEvent::ShortcutOverride: {
        // Keep the three clipboard keys for the field even where the window has shortcuts on them.
        auto* key = static_cast<QKeyEvent*>(event);
        const short code = WindowsKeys::keyCode(*key);
        if (WindowsKeys::shiftState(key->modifiers()) == kCtrl &&
            (code == kKeyC || code == kKeyV || code == kKeyX))
            key->accept();
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves the focus before the text box sees it as a key.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & Qt::ControlModifier))
            return false;
        txtNumber_KeyDown(key);
        return txtNumber_KeyPress(key);
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) break;
        short keyCode = WindowsKeys::keyCode(*key);
        short shift = WindowsKeys::shiftState(key->modifiers());
        emit KeyUp(keyCode, shift);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        txtNumber_Mouse(static_cast<QMouseEvent*>(event), true);
        break;
    case QEvent::MouseMove:
        txtNumber_Mouse(static_cast<QMouseEvent*>(event), false);
        break;
    default:
        break;
    }
    return false;
}

void Tallyfield::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int minimum = px(kMinimumHeight);
    if (height() < minimum) {
        resize(width(), minimum);
        return;
    }
    txtNumber->setGeometry(0, 0, width(), height());
}

} // namespace quillon
