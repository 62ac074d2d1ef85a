#pragma once
// The round button's surface on a QPainter over a widget: twips become logical pixels (15 to one),
// system colours come from the widget's palette, and the background is the button face.

#include "controls/ButtonSurface.h"

#include <QFont>
#include <QPalette>
#include <QRect>

class QPainter;

namespace quillon {

class QtButtonSurface : public ButtonSurface {
public:
    /// painter must outlive the surface; area is the widget's rectangle in pixels; font is the regular
    /// caption font (drawn bold when asked).
    QtButtonSurface(QPainter& painter, const QRect& area, const QPalette& palette, const QFont& font);

    void clear() override;
    void ellipse(QPointF centre, double radius, double aspect, std::uint32_t fill,
                 std::uint32_t outline) override;
    void arc(QPointF centre, double radius, double aspect, double start, double end,
             std::uint32_t colour) override;
    QSizeF textSize(const QString& text) override;
    void text(QPointF topLeft, const QString& text, std::uint32_t colour, bool bold) override;

private:
    QRectF box(QPointF centre, double radius, double aspect) const;
    QColor colour(std::uint32_t value) const;

    QPainter& painter_;
    QRect area_;
    QPalette palette_;
    QFont font_;
};

} // namespace quillon
