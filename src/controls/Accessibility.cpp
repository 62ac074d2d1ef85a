#include "controls/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QLabel>
#include <QWidget>

namespace quillon::accessibility {

namespace {

class WindowInterface final : public QAccessibleWidget {
public:
    WindowInterface(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) return windowName(*widget());
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty()) return {};
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* windowFactory(const QString& className, QObject* object)
{
    // Asked for each class of an object from the most derived one up: only a program's own window class,
    // at its own name, gets this interface; Qt's classes keep Qt's.
    if (!className.startsWith(QLatin1String("quillon::"))) return nullptr;
    if (className != QLatin1String(object->metaObject()->className())) return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow()) return nullptr;
    return new WindowInterface(widget,
                               qobject_cast<QDialog*>(widget) ? QAccessible::Dialog : QAccessible::Window);
}

} // namespace

void install() { QAccessible::installFactory(windowFactory); }

void name(QWidget* control, const QString& name)
{
    const QString description = control->toolTip().trimmed();
    for (QWidget* part = control; part; part = part->focusProxy()) {
        part->setAccessibleName(name);
        if (!description.isEmpty()) part->setAccessibleDescription(description);
        if (part->focusProxy() == part) break;
    }
}

void link(QLabel* label, QWidget* field) { label->setBuddy(field); }

QString windowName(const QWidget& window)
{
    const QString set = window.accessibleName();
    return set.isEmpty() ? window.windowTitle().trimmed() : set;
}

} // namespace quillon::accessibility
