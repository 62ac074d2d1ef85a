#pragma once
// The look of the round button, worked out in twips and drawn on any ButtonSurface: a filled ellipse in
// the control's box less 10 twips, three bevel rings 15 twips apart (dark lower right and light upper
// left, swapped while pressed) and a bold caption centred by its regular width.

#include <QPointF>
#include <QString>

#include <cstdint>

namespace quillon {

class ButtonSurface;

/// Where the ellipse and its rings go for a control of a given size.
struct ButtonGeometry {
    int drawWidth = 0;  ///< control width less 10, twips
    int drawHeight = 0; ///< control height less 10, twips
    int radius = 0;     ///< half the longer of the two, rounded half to even
    QPointF centre;     ///< (drawWidth / 2, drawHeight / 2)
    double aspect = 0;  ///< drawHeight / drawWidth; 0 when the box is empty
    /// Whether there is an ellipse to draw at all: a control of 10 twips or less across has none.
    bool drawable() const { return drawWidth > 0 && drawHeight > 0 && radius > 0; }
};

/// What one paint needs to know about the control.
struct ButtonLook {
    int width = 0;  ///< twips
    int height = 0; ///< twips
    QString caption;
    std::uint32_t backColor = 0;
    std::uint32_t foreColor = 0;
    bool pressed = false;
    bool windowEnabled = true; ///< false greys the caption
};

struct ButtonPainter {
    /// The arcs' start and end angles, radians counter-clockwise from 3 o'clock. The lower right half
    /// runs from kLowerLeft to kUpperRight, the upper left half back again.
    static constexpr double kLowerLeft = 3.927;
    static constexpr double kUpperRight = 0.785;
    static constexpr int kRingStep = 15;     ///< twips between rings
    static constexpr int kCaptionMargin = 5; ///< twips; the caption never starts nearer the edge
    static constexpr std::uint32_t kButtonFace = 0x8000000F;
    static constexpr std::uint32_t kLight3D = 0x80000016;
    static constexpr std::uint32_t kGreyText = 0x808080;

    static ButtonGeometry geometry(int width, int height);
    /// Draws the button and returns the geometry used. Steps that cannot be drawn (an empty box, a ring
    /// of no radius) are left out and the rest is drawn.
    static ButtonGeometry paint(ButtonSurface& surface, const ButtonLook& look);
};

} // namespace quillon
