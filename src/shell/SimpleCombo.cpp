#include "shell/SimpleCombo.h"

#include <QResizeEvent>
#include <QSignalBlocker>

namespace quillon {

SimpleCombo::SimpleCombo(QWidget* parent) : QWidget(parent), edit_(new QLineEdit(this)), list_(new QListWidget(this))
{
    edit_->setObjectName(QStringLiteral("edit"));
    list_->setObjectName(QStringLiteral("list"));
    list_->setUniformItemSizes(true); // keeps thousands of entries cheap to lay out
    list_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit_);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!settingFromCode_ && row >= 0) userSelected(row);
    });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the entry that is already selected still selects it again.
        if (!settingFromCode_ && item && list_->row(item) == list_->currentRow()) userSelected(list_->currentRow());
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

void SimpleCombo::resizeEvent(QResizeEvent* event)
{
    const int editHeight = edit_->sizeHint().height();
    edit_->setGeometry(0, 0, event->size().width(), editHeight);
    list_->setGeometry(0, editHeight, event->size().width(), std::max(0, event->size().height() - editHeight));
}

} // namespace quillon
