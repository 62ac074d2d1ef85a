#include "about/LinkLabel.h"

#include "controls/AccessibleControls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quillon {

namespace {

// Qt tells a label as static text, which a reader neither stops at nor offers to press.
class LinkInterface final : public accessibility::PressableInterface {
public:
    explicit LinkInterface(LinkLabel* link) : PressableInterface(link, QAccessible::Link) {}

    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

protected:
    // The address itself, not the words before it (which the label relation still gives).
    QString shownText() const override { return link()->text(); }
    void press() override { emit link()->activated(); }
};

// The frame of the focus mark, laid over the label by its parent window; mouse clicks go through it.
class MarkFrame final : public QWidget {
public:
    explicit MarkFrame(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    FocusMark mark; // the link's, as it was when the frame was placed

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        mark.draw(painter, *this);
    }
};

QAccessibleInterface* linkFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("quillon::LinkLabel")) return nullptr;
    return new LinkInterface(static_cast<LinkLabel*>(object));
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    accessibility::installControls();
    QAccessible::installFactory(linkFactory);
    setFocusPolicy(Qt::TabFocus);
}

LinkLabel::~LinkLabel() { delete mark_; }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // Acts when the button is let go over the link, as a label's click does.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit activated();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (!press || held != Qt::NoModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    // Taken, so Enter does not also press the window's default button. A held key opens one mail window,
    // not one per repeat.
    event->accept();
    if (!event->isAutoRepeat()) emit activated();
}

void LinkLabel::placeMark()
{
    QWidget* window = parentWidget();
    if (!window) return;
    if (!mark_) mark_ = new MarkFrame(window);
    static_cast<MarkFrame*>(mark_.data())->mark = focusMark_;
    if (!focusMark_.visible()) {
        mark_->hide();
        return;
    }
    // Around the text as the label draws it (left and top aligned), a pixel clear of it on each side.
    const QRect text = fontMetrics().boundingRect(rect(), int(alignment()), this->text());
    const QRect around = text.translated(pos()).adjusted(-3, -3, 3, 3) & window->rect();
    mark_->setGeometry(around);
    mark_->raise();
    mark_->show();
    mark_->update();
}

void LinkLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    if (focusMark_.focusIn(event->reason())) placeMark();
}

void LinkLabel::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    if (focusMark_.focusOut(event->reason())) placeMark();
}

void LinkLabel::moveEvent(QMoveEvent* event)
{
    QLabel::moveEvent(event);
    if (mark_) placeMark();
}

void LinkLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (mark_) placeMark();
}

} // namespace quillon
