#pragma once
// A combo box of the simple style: an edit field above a list that is always open. Its text is the edit
// field's; selecting an entry (by the user or by setListIndex) copies the entry into the field and raises
// Click at once, before setListIndex returns. Typing into the field selects nothing; the list keys (Up, Down,
// Page Up, Page Down, Ctrl+Home, Ctrl+End) pressed in the field move the list's selection, which is a
// selection by the user. The control has one focus, the field's: a click in the list puts the focus there.

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace quillon {

class SimpleCombo : public QWidget {
    Q_OBJECT
public:
    explicit SimpleCombo(QWidget* parent = nullptr);

    QString text() const { return edit_->text(); }
    void setText(const QString& text) { edit_->setText(text); }

    int count() const { return list_->count(); }
    QString itemText(int index) const;
    void addItem(const QString& text) { list_->addItem(text); }
    void addItems(const QStringList& texts) { list_->addItems(texts); }
    void insertItem(int index, const QString& text) { list_->insertItem(index, text); }
    void removeItem(int index);
    void clear();

    /// The selected entry, -1 when none.
    int listIndex() const { return list_->currentRow(); }
    /// Selects an entry and raises Click, even when it was selected already. An index outside the list
    /// returns false and changes nothing.
    bool setListIndex(int index);

    QLineEdit* editField() const { return edit_; }
    QListWidget* listBox() const { return list_; }

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void userSelected(int row);
    /// The entry a list key pressed in the field selects; -1 when the key is no list key.
    int rowForKey(int key, Qt::KeyboardModifiers modifiers) const;

    QLineEdit* edit_;
    QListWidget* list_;
    bool settingFromCode_ = false;
};

} // namespace quillon
