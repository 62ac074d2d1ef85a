#include "controls/AccessibleControls.h"

#include "controls/Accessibility.h"
#include "controls/Button.h"
#include "controls/NumberMask.h"
#include "controls/Tallyfield.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace quillon::accessibility {

QString PressableInterface::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return shownText();
    if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
        return widget()->toolTip().trimmed();
    return QAccessibleWidget::text(t);
}

QStringList PressableInterface::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled()) names.prepend(pressAction());
    return names;
}

void PressableInterface::doAction(const QString& action)
{
    if (action == pressAction() && widget()->isEnabled())
        press();
    else
        QAccessibleWidget::doAction(action);
}

namespace {

class ButtonInterface final : public PressableInterface {
public:
    explicit ButtonInterface(Button* button) : PressableInterface(button, QAccessible::Button) {}

    Button* button() const { return static_cast<Button*>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isPressed();
        return s;
    }

protected:
    QString shownText() const override { return button()->Caption(); }
    // Pressed from a reader as Enter presses it: a Click, whatever Enabled says, in a window that is on.
    void press() override { emit button()->Click(); }
};

class TallyfieldInterface final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TallyfieldInterface(Tallyfield* field) : QAccessibleWidget(field, QAccessible::SpinBox) {}

    Tallyfield* field() const { return static_cast<Tallyfield*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return field()->shownText();
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return widget()->toolTip().trimmed();
        return QAccessibleWidget::text(t);
    }

    // The number the field holds, read from its text as Value reads it, without touching its state.
    QVariant currentValue() const override
    {
        const CleanNumber clean = NumberMask::UnformatNumeric(field()->shownText(), field()->PositiveOnly());
        return NumberMask::leadingValue(clean.text);
    }
    void setCurrentValue(const QVariant& value) override { field()->setValue(value); }
    QVariant maximumValue() const override
    {
        // As many nines as the mask has integer digit places: what the field can show.
        const QString format =
            field()->Format().section(QLatin1Char(';'), 0, 0).section(QLatin1Char('.'), 0, 0);
        const auto places = format.count(QLatin1Char('#')) + format.count(QLatin1Char('0'));
        return places > 0 && places < 16 ? std::pow(10.0, double(places)) - 1 : QVariant();
    }
    QVariant minimumValue() const override
    {
        return field()->PositiveOnly() ? QVariant(0.0) : -maximumValue().toDouble();
    }
    QVariant minimumStepSize() const override { return 1.0; }
};

// The text of a read-only rich text window as a reader should get it: each table cell, frame and paragraph
// on a line of its own. Positions are the document's, one character each, so selections and the caret
// stay where Qt puts them.
class DocumentTextInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentTextInterface(QTextEdit* edit) : QAccessibleWidget(edit, QAccessible::StaticText) {}

    QTextEdit* edit() const { return static_cast<QTextEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return plain();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const QTextCursor cursor = edit()->textCursor();
        if (selectionIndex != 0 || !cursor.hasSelection()) return;
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
    int selectionCount() const override { return edit()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override
    {
        QTextCursor cursor = edit()->textCursor();
        cursor.clearSelection();
        edit()->setTextCursor(cursor);
    }
    void setSelection(int, int startOffset, int endOffset) override
    {
        QTextCursor cursor(edit()->document());
        cursor.setPosition(clamped(startOffset));
        cursor.setPosition(clamped(endOffset), QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }
    int cursorPosition() const override { return edit()->textCursor().position(); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int startOffset, int endOffset) const override
    {
        return plain().mid(startOffset, std::max(0, endOffset - startOffset));
    }
    int characterCount() const override { return int(plain().size()); }
    QRect characterRect(int offset) const override
    {
        QTextCursor cursor(edit()->document());
        cursor.setPosition(clamped(offset));
        QRect rect = edit()->cursorRect(cursor);
        const QString character = plain().mid(offset, 1);
        rect.setWidth(QFontMetrics(cursor.charFormat().font()).horizontalAdvance(character));
        return QRect(edit()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = edit()->viewport()->mapFromGlobal(point);
        if (!edit()->viewport()->rect().contains(local)) return -1;
        return edit()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        setSelection(0, startIndex, endIndex);
        edit()->ensureCursorVisible();
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = std::max(offset, characterCount());
        return {};
    }

private:
    // The document's own plain text maps each frame mark and paragraph end to a line end, one for one.
    QString plain() const { return edit()->document()->toPlainText(); }
    int clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
};

QAccessibleInterface* controlsFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("quillon::Button"))
        return new ButtonInterface(static_cast<Button*>(object));
    if (className == QLatin1String("quillon::Tallyfield"))
        return new TallyfieldInterface(static_cast<Tallyfield*>(object));
    if (className == QLatin1String("QTextBrowser"))
        return new DocumentTextInterface(static_cast<QTextBrowser*>(object));
    // A plain frame around controls (the main window's effects) is a group of them; Qt would tell it as a
    // window frame.
    auto* widget = qobject_cast<QWidget*>(object);
    if (className == QLatin1String("QFrame") && widget && !widget->isWindow() &&
        !widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty())
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void installControls()
{
    install();
    QAccessible::installFactory(controlsFactory);
}

} // namespace quillon::accessibility
