#pragma once
// The focus mark of the program's owner-drawn controls (the round button, the sample and summary
// pictures): a thin frame in the palette's highlight colour along the control's edge, so a keyboard user
// sees where the focus is. Qt's own controls draw theirs through the style.

class QPainter;
class QWidget;

namespace quillon {

/// Draws the mark, two logical pixels wide, over what `control` has painted.
void drawFocusMark(QPainter& painter, const QWidget& control);

} // namespace quillon
