#pragma once
// Accessibility interfaces for the program's own controls, which Qt cannot describe by itself: the round
// button (a push button with its caption and a Press action, where Qt sees a nameless custom widget), the
// numeric entry box (a spin box with its value), and the read-only rich text of the program's windows
// (Qt hands a reader the text with its table and frame marks, U+FDD0 between cells, in it).

#include <QAccessibleWidget>

namespace quillon::accessibility {

/// A control a reader offers to press, as Enter or a click presses it: named by what it shows unless it has
/// an accessible name of its own, described by its tool tip. The round button and the About box's links.
class PressableInterface : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

protected:
    virtual QString shownText() const = 0;
    virtual void press() = 0;
};

/// Installs the factories of this file and the windows' (accessibility::install); harmless when called
/// again. The controls call it when they are built.
void installControls();

} // namespace quillon::accessibility
