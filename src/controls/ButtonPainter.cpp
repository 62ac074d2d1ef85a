#include "controls/ButtonPainter.h"

#include "controls/ButtonSurface.h"
#include "controls/OleColor.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

struct Ring {
    int inset;    ///< twips inside the outer ring
    double start; ///< radians
    double end;   ///< radians
    std::uint32_t normal;
    std::uint32_t pressed;
};

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

} // namespace

ButtonGeometry ButtonPainter::geometry(int width, int height)
{
    ButtonGeometry g;
    g.drawWidth = width - 10;
    g.drawHeight = height - 10;
    // Half of an odd size rounds to the even neighbour (245 / 2 gives 122), as the ring radii are given.
    g.radius = int(std::nearbyint(std::max(g.drawWidth, g.drawHeight) / 2.0));
    g.centre = QPointF(g.drawWidth / 2.0, g.drawHeight / 2.0);
    g.aspect = g.drawWidth > 0 ? double(g.drawHeight) / g.drawWidth : 0.0;
    return g;
}

ButtonGeometry ButtonPainter::paint(ButtonSurface& surface, const ButtonLook& look)
{
    const ButtonGeometry g = geometry(look.width, look.height);
    surface.clear();

    if (g.drawable()) {
        surface.ellipse(g.centre, g.radius, g.aspect, look.backColor, kButtonFace);
        // The light upper left asks for 300 in each component; the colour is capped to white.
        const std::uint32_t light = OleColor::rgb(300, 300, 300);
        const Ring rings[] = {
            {0, kLowerLeft, kUpperRight, kBlack, kWhite},
            {kRingStep, kLowerLeft, kUpperRight, 0x808080, kWhite},
            {2 * kRingStep, kLowerLeft, kUpperRight, 0xC0C0C0, kWhite},
            {0, kUpperRight, kLowerLeft, light, kBlack},
            {kRingStep, kUpperRight, kLowerLeft, kLight3D, kBlack},
            {2 * kRingStep, kUpperRight, kLowerLeft, kLight3D, kBlack},
        };
        for (const Ring& ring : rings) {
            const int radius = g.radius - ring.inset;
            if (radius > 0)
                surface.arc(g.centre, radius, g.aspect, ring.start, ring.end,
                            look.pressed ? ring.pressed : ring.normal);
        }
    }

    // Centred by the regular width although drawn bold, and never nearer the edge than the margin; the
    // caption stays put while pressed.
    const QSizeF size = surface.textSize(look.caption);
    const double x = std::max<double>((look.width - size.width()) / 2.0, kCaptionMargin);
    const double y = std::max<double>((look.height - size.height()) / 2.0, kCaptionMargin);
    surface.text(QPointF(x, y), look.caption, look.windowEnabled ? look.foreColor : kGreyText, true);
    return g;
}

} // namespace quillon
