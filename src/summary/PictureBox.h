#pragma once
// A picture box that keeps what is drawn on it: drawing goes into an image the size of the box, and the
// box shows that image whenever it is uncovered, so a page is drawn once per change, not per expose.

#include "controls/FocusMark.h"

#include <QImage>
#include <QWidget>

namespace quillon {

class PictureBox final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    /// The kept picture, in device pixels with the screen's resolution, so text drawn on it has the size it
    /// has on screen. Valid after the box has its size; drawing on it shows at the next repaint.
    QImage& image();
    /// Clears the picture to the background colour (the palette's base colour).
    void Cls();
    QColor backColor() const;
    QColor foreColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FocusMark focusMark_;
    void makeImage();

    QImage image_;
};

} // namespace quillon
