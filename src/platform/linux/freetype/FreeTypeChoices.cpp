#include "platform/linux/freetype/FreeTypeChoices.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace quillon::platform {

bool selectCharmap(FT_Face face, bool& symbol)
{
    symbol = false;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) return true;
    symbol = FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
    if (symbol) return true;
    return face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0;
}

unsigned glyphFor(FT_Face face, char32_t c, bool symbol)
{
    if (symbol && c <= 0xFF)
        if (const FT_UInt g = FT_Get_Char_Index(face, 0xF000 | c)) return g;
    return FT_Get_Char_Index(face, c);
}

int nearestStrike(FT_Face face, double pixelSize)
{
    if (face->num_fixed_sizes <= 0 || !face->available_sizes) return -1;
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
