#pragma once
// The About box's links: labels that act when the mouse button is let go over them, and which a keyboard
// user reaches with Tab and presses with Enter or Space. Tab is the only way in: a click acts without
// taking the focus, so the window looks as it did before the links could be reached. The focus mark shows
// only while the keyboard has put the focus there, drawn just around the text: the label is barely taller
// than its letters, and a mark inside it would cross their tops. A screen reader finds each as a link it can
// press.

#include "controls/FocusMark.h"

#include <QLabel>
#include <QPointer>

namespace quillon {

class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    ~LinkLabel() override;

signals:
    /// The link was clicked, pressed from the keyboard, or pressed by a screen reader.
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeMark();

    FocusMark focusMark_;
    QPointer<QWidget> mark_; // beside the label, over its text; shown only with the mark
};

} // namespace quillon
