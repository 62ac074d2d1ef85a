#include "shell/SimpleCombo.h"

#include <QKeyEvent>
#include <QResizeEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace quillon {

SimpleCombo::SimpleCombo(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), list_(new QListWidget(this))
{
    edit_->setObjectName(QStringLiteral("edit"));
    list_->setObjectName(QStringLiteral("list"));
    list_->setUniformItemSizes(true); // keeps thousands of entries cheap to lay out
    // A click in the list gives the control the focus, in its field; Tab stops at the field only.
    list_->setFocusPolicy(Qt::ClickFocus);
    list_->setFocusProxy(edit_);
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!settingFromCode_ && row >= 0) userSelected(row);
    });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the entry that is already selected still selects it again.
        if (!settingFromCode_ && item && list_->row(item) == list_->currentRow())
            userSelected(list_->currentRow());
    });
}

QString SimpleCombo::itemText(int index) const
{
    const QListWidgetItem* item = list_->item(index);
    return item ? item->text() : QString();
}

void SimpleCombo::removeItem(int index)
{
    const QSignalBlocker blocker(list_);
    delete list_->takeItem(index);
}

void SimpleCombo::clear()
{
    const QSignalBlocker blocker(list_);
    list_->clear();
    edit_->clear();
}

bool SimpleCombo::setListIndex(int index)
{
    if (index < 0 || index >= list_->count()) return false;
    settingFromCode_ = true;
    list_->setCurrentRow(index);
    settingFromCode_ = false;
    edit_->setText(list_->item(index)->text());
    emit Click();
    return true;
}

void SimpleCombo::userSelected(int row)
{
    edit_->setText(list_->item(row)->text());
    emit Click();
}

int SimpleCombo::rowForKey(int key, Qt::KeyboardModifiers modifiers) const
{
    const int count = list_->count();
    if (count == 0) return -1;
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const int current = list_->currentRow();
    // A page moves by the rows on show less one, so the row at the edge stays in sight.
    const int rowHeight = std::max(1, list_->sizeHintForRow(0));
    const int page = std::max(1, list_->viewport()->height() / rowHeight - 1);
    int row = -1;
    switch (key) {
    case Qt::Key_Up:
        row = current - 1;
        break;
    case Qt::Key_Down:
        row = current + 1;
        break;
    case Qt::Key_PageUp:
        row = current - page;
        break;
    case Qt::Key_PageDown:
        row = current + page;
        break;
    case Qt::Key_Home:
        if (!ctrl) return -1; // Home alone moves the caret in the field
        row = 0;
        break;
    case Qt::Key_End:
        if (!ctrl) return -1;
        row = count - 1;
        break;
    default:
        return -1;
    }
    if (current < 0) row = 0; // nothing selected yet: any list key starts at the first entry
    return std::clamp(row, 0, count - 1);
}

bool SimpleCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = rowForKey(key->key(), key->modifiers());
        if (row >= 0) {
            // Only a new selection is a click; Up on the first entry changes nothing.
            if (row != list_->currentRow()) list_->setCurrentRow(row);
            edit_->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SimpleCombo::resizeEvent(QResizeEvent* event)
{
    const int editHeight = edit_->sizeHint().height();
    edit_->setGeometry(0, 0, event->size().width(), editHeight);
    list_->setGeometry(0, editHeight, event->size().width(),
                       std::max(0, event->size().height() - editHeight));
}

} // namespace quillon
