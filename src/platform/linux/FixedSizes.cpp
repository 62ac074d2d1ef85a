#include "platform/linux/FixedSizes.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace quillon::platform {

int nearestFixedSize(FT_Face face, double pixelSize)
{
    if (!face || face->num_fixed_sizes <= 0 || !face->available_sizes) return -1;
    int best = 0;
    double bestDistance = INFINITY;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const double distance = std::abs(face->available_sizes[i].y_ppem / 64.0 - pixelSize);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace quillon::platform
