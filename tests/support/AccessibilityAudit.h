#pragma once
// What a screen reader would stumble over in a window, read from Qt's accessibility interfaces as the
// desktop's accessibility bus reads them: a control that takes the focus but has no name, a control of the
// program's own that Qt can only report as a "client" (owner-drawn without an interface of its own), a field
// label ("Font:") linked to no field, a window not reported as a window, or named with a blank around it, or
// a control the mouse pointer marks as clickable (the pointing hand) that Tab cannot reach or a reader
// cannot press.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace quillon::test {

inline QString describe(QAccessibleInterface* node)
{
    const QObject* object = node->object();
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(int(node->role()))
        .arg(node->text(QAccessible::Name), object ? object->objectName() : QStringLiteral("item"));
}

inline void auditNode(QAccessibleInterface* node, QStringList& problems, int depth = 0)
{
    if (!node || depth > 40) return;
    const QAccessible::State state = node->state();
    if (state.invisible) return;
    const QAccessible::Role role = node->role();
    const bool item = role == QAccessible::ListItem || role == QAccessible::Cell ||
                      role == QAccessible::TreeItem || role == QAccessible::Row ||
                      role == QAccessible::ColumnHeader;
    if (state.focusable && !item && node->text(QAccessible::Name).trimmed().isEmpty())
        problems << QStringLiteral("unnamed control ") + describe(node);
    const QObject* object = node->object();
    if (role == QAccessible::Client && state.focusable && object &&
        QLatin1String(object->metaObject()->className()).startsWith(QLatin1String("quillon::")))
        problems << QStringLiteral("owner-drawn control with no interface ") + describe(node);
    if (const auto* widget = qobject_cast<const QWidget*>(object);
        widget && widget->testAttribute(Qt::WA_SetCursor) &&
        widget->cursor().shape() == Qt::PointingHandCursor) {
        QAccessibleActionInterface* actions = node->actionInterface();
        if (!(widget->focusPolicy() & Qt::TabFocus) || !actions ||
            !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
            problems << QStringLiteral("clickable control out of the keyboard's or a reader's reach ") +
                            describe(node);
    }
    if (auto* label = qobject_cast<QLabel*>(node->object()))
        if (label->text().trimmed().endsWith(QLatin1Char(':')) && !label->buddy())
            problems << QStringLiteral("label without its field ") + describe(node);
    const int count = node->childCount();
    if (role == QAccessible::List || role == QAccessible::Tree || role == QAccessible::Table) {
        // An item view: its items are data, named by what they hold; one look at the first is enough.
        if (count > 0) auditNode(node->child(0), problems, depth + 1);
        return;
    }
    for (int i = 0; i < count; ++i) auditNode(node->child(i), problems, depth + 1);
}

/// The problems of one window, each a line naming the role, name and object.
inline QStringList accessibilityProblems(QWidget& window)
{
    QStringList problems;
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window);
    if (!root) return {QStringLiteral("no interface for ") + window.objectName()};
    const QString name = root->text(QAccessible::Name);
    if (root->role() != QAccessible::Window && root->role() != QAccessible::Dialog)
        problems << QStringLiteral("window reported as role %1: ").arg(int(root->role())) +
                        window.objectName();
    if (name.isEmpty() || name != name.trimmed())
        problems << QStringLiteral("window named \"%1\": ").arg(name) + window.objectName();
    for (int i = 0; i < root->childCount(); ++i) auditNode(root->child(i), problems);
    return problems;
}

/// The problems of every window on show, each line led by its window's title.
inline QStringList visibleWindowsProblems(QStringList* audited = nullptr)
{
    QStringList problems;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip || window->windowType() == Qt::Popup)
            continue;
        if (audited) *audited << window->windowTitle().trimmed();
        for (const QString& problem : accessibilityProblems(*window))
            problems << window->windowTitle() + QStringLiteral(": ") + problem;
    }
    return problems;
}

} // namespace quillon::test
