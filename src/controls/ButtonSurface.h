#pragma once
// What the round button draws on: a background fill, an ellipse, elliptic arcs and text. Coordinates and
// sizes are twips from the control's top left; colours are 32-bit values with red in the low byte, or a
// system colour index in the low byte when the top bit is set. Angles are radians counter-clockwise from
// 3 o'clock; an arc runs counter-clockwise from start to end.

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <cstdint>

namespace quillon {

class ButtonSurface {
public:
    virtual ~ButtonSurface() = default;
    /// Fills the whole surface with its background colour.
    virtual void clear() = 0;
    /// An ellipse around centre whose longer semi-axis is radius; aspect is height / width, so the other
    /// semi-axis is radius * aspect (aspect < 1) or radius / aspect (aspect > 1). Filled, outlined 1 wide.
    virtual void ellipse(QPointF centre, double radius, double aspect, std::uint32_t fill,
                         std::uint32_t outline) = 0;
    /// Part of the outline of the same ellipse, 1 wide.
    virtual void arc(QPointF centre, double radius, double aspect, double start, double end,
                     std::uint32_t colour) = 0;
    /// The size of text in the surface's regular (not bold) font.
    virtual QSizeF textSize(const QString& text) = 0;
    /// Text with its top left at topLeft, on a transparent background.
    virtual void text(QPointF topLeft, const QString& text, std::uint32_t colour, bool bold) = 0;
};

} // namespace quillon
