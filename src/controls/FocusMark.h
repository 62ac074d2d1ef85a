#pragma once
// The focus mark of the program's owner-drawn controls (the round button, the sample and summary
// pictures): a thin frame in the palette's highlight colour along the control's edge, so a keyboard user
// sees where the focus is. Qt's own controls draw theirs through the style.
//
// The mark shows only for focus that came from the keyboard (Tab, Shift+Tab, a shortcut, or code acting for
// a keyboard step): a click gives a control the focus without changing its look, as these controls looked
// before they had a mark at all. When the window goes and comes back, the mark is as it was.

#include <Qt>

class QPainter;
class QWidget;

namespace quillon {

class FocusMark {
public:
    /// From the control's focusInEvent and focusOutEvent; true when the mark's visibility changed.
    bool focusIn(Qt::FocusReason reason);
    bool focusOut(Qt::FocusReason reason);
    bool visible() const { return focused_ && fromKeyboard_; }
    /// Draws the mark, two logical pixels wide, over what `control` has painted, when it is visible.
    void draw(QPainter& painter, const QWidget& control) const;

private:
    bool focused_ = false;
    bool fromKeyboard_ = false;
};

} // namespace quillon
