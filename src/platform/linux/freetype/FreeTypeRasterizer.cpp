#include "platform/linux/freetype/FreeTypeRasterizer.h"

#include "platform/linux/files/FontFileBytes.h"
#include "platform/linux/freetype/FreeTypeChoices.h"
#include "platform/linux/freetype/FreeTypeGlyphFace.h"

#include <QFile>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace quillon::platform {

namespace {

// Limits that keep a malformed face from asking for huge images.
constexpr double kMaxPixelSize = 1000;
constexpr int kMaxExtent = 16384;

struct Glyph {
    int x = 0, y = 0; // top-left in cell coordinates (baseline at y = ascent)
    int width = 0, height = 0;
    std::vector<unsigned char> alpha;
};

bool copyBitmap(const FT_Bitmap& bitmap, Glyph& glyph)
{
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    if (glyph.width <= 0 || glyph.height <= 0) return true;
    if (glyph.width > kMaxExtent || glyph.height > kMaxExtent) return false;
    glyph.alpha.assign(static_cast<std::size_t>(glyph.width) * glyph.height, 0);
    for (int row = 0; row < glyph.height; ++row) {
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        unsigned char* dst = glyph.alpha.data() + static_cast<std::size_t>(row) * glyph.width;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
            for (int x = 0; x < glyph.width; ++x) dst[x] = static_cast<unsigned char>(src[x] * 255 / levels);
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < glyph.width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else {
            return false;
        }
    }
    return true;
}

// A face opened for one call and closed with it; null when the request or the file cannot be drawn from.
// Read, not mapped: a font file replaced while it is open must not end the program.
struct OpenedFace {
    FT_Face face = nullptr;
    OpenedFace(FT_Library library, const QString& file, int index, double pixelSize)
    {
        if (library && pixelSize > 0 && pixelSize <= kMaxPixelSize && index >= 0)
            face = openFaceByReads(library, file, index);
    }
    ~OpenedFace()
    {
        if (face) FT_Done_Face(face);
    }
    OpenedFace(const OpenedFace&) = delete;
    OpenedFace& operator=(const OpenedFace&) = delete;
};

} // namespace

FreeTypeRasterizer::FreeTypeRasterizer()
{
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

FreeTypeRasterizer::~FreeTypeRasterizer()
{
    if (library_) FT_Done_FreeType(library_);
}

std::optional<RasterLine> FreeTypeRasterizer::rasterize(const QString& file, int index, double pixelSize,
                                                        const QString& text)
{
    const OpenedFace opened(library_, file, index, pixelSize);
    FT_Face face = opened.face;
    if (!face) return std::nullopt;

    // Colour glyphs need Qt's colour handling.
    if (FT_HAS_COLOR(face)) return std::nullopt;
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72) != 0)
            return std::nullopt;
    } else {
        const int strike = nearestStrike(face, pixelSize);
        if (strike < 0 || FT_Select_Size(face, strike) != 0) return std::nullopt;
    }
    bool symbol = false;
    if (!selectCharmap(face, symbol)) return std::nullopt;

    RasterLine line;
    line.ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    line.descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
    if (line.ascent < 0 || line.descent < 0 || line.ascent + line.descent > kMaxExtent) return std::nullopt;

    // Light hinting, as Qt draws text on this desktop by default; whole-pixel advances.
    const FT_Int32 loadFlags = FT_IS_SCALABLE(face) ? FT_LOAD_TARGET_LIGHT : FT_LOAD_DEFAULT;
    std::vector<Glyph> glyphs;
    long long pen = 0; // 26.6
    for (char32_t c : text.toUcs4()) {
        const FT_UInt index = glyphFor(face, c, symbol);
        if (FT_Load_Glyph(face, index, loadFlags) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        Glyph glyph;
        if (!copyBitmap(slot->bitmap, glyph)) return std::nullopt;
        glyph.x = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
        glyph.y = line.ascent - slot->bitmap_top;
        pen += slot->advance.x;
        if (pen < 0 || pen > static_cast<long long>(kMaxExtent) * 64) return std::nullopt;
        if (!glyph.alpha.empty()) glyphs.push_back(std::move(glyph));
    }
    line.advance = pen / 64.0;
    if (glyphs.empty()) return line;

    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Glyph& g : glyphs) {
        left = std::min(left, g.x);
        top = std::min(top, g.y);
        right = std::max(right, g.x + g.width);
        bottom = std::max(bottom, g.y + g.height);
    }
    if (right - left > kMaxExtent || bottom - top > kMaxExtent) return std::nullopt;
    QImage coverage(right - left, bottom - top, QImage::Format_Alpha8);
    coverage.fill(0);
    for (const Glyph& g : glyphs)
        for (int row = 0; row < g.height; ++row) {
            uchar* dst = coverage.scanLine(g.y - top + row) + (g.x - left);
            const unsigned char* src = g.alpha.data() + static_cast<std::size_t>(row) * g.width;
            for (int x = 0; x < g.width; ++x)
                dst[x] = static_cast<uchar>(dst[x] + src[x] * (255 - dst[x]) / 255);
        }
    line.coverage = std::move(coverage);
    line.offset = QPoint(left, top);
    return line;
}

std::optional<double> FreeTypeRasterizer::advance(const QString& file, int index, double pixelSize,
                                                  const QString& text)
{
    const OpenedFace opened(library_, file, index, pixelSize);
    FT_Face face = opened.face;
    if (!face) return std::nullopt;
    bool symbol = false;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || !selectCharmap(face, symbol)) return std::nullopt;
    double units = 0;
    for (char32_t c : text.toUcs4()) {
        FT_Fixed advance = 0;
        if (FT_Get_Advance(face, glyphFor(face, c, symbol), FT_LOAD_NO_SCALE, &advance) == 0)
            units += static_cast<double>(advance);
    }
    return units * pixelSize / face->units_per_EM;
}

std::unique_ptr<GlyphFace> FreeTypeRasterizer::openGlyphs(const QString& file, int index)
{
    if (!library_ || index < 0) return nullptr;
    return FreeTypeGlyphFace::open(library_, file, index);
}

} // namespace quillon::platform
