#include "platform/linux/FreeTypeGlyphMaps.h"

#include "platform/linux/FixedSizes.h"
#include "platform/linux/FontFileBytes.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace quillon::platform {

namespace {

// Limits that keep a malformed face from asking for huge images.
constexpr double kMaxPixelSize = 1000;
constexpr int kMaxExtent = 4096;

QImage imageOf(const FT_Bitmap& bitmap)
{
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    if (width <= 0 || height <= 0 || width > kMaxExtent || height > kMaxExtent) return {};
    const bool colour = bitmap.pixel_mode == FT_PIXEL_MODE_BGRA;
    QImage image(width, height, colour ? QImage::Format_ARGB32_Premultiplied : QImage::Format_Alpha8);
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        uchar* dst = image.scanLine(row);
        switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_BGRA: // premultiplied blue, green, red, alpha: QImage's order on little-endian
            for (int x = 0; x < width; ++x)
                reinterpret_cast<QRgb*>(dst)[x] =
                    qRgba(src[4 * x + 2], src[4 * x + 1], src[4 * x], src[4 * x + 3]);
            break;
        case FT_PIXEL_MODE_GRAY: {
            const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
            for (int x = 0; x < width; ++x) dst[x] = static_cast<uchar>(src[x] * 255 / levels);
            break;
        }
        case FT_PIXEL_MODE_MONO:
            for (int x = 0; x < width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            break;
        default:
            return {};
        }
    }
    return image;
}

class FreeTypeFaceGlyphs final : public FaceGlyphs {
public:
    FreeTypeFaceGlyphs(FT_Library library, FT_Face face) : library_(library), face_(face)
    {
        // Unicode first; a symbol font's characters live at U+F000 and up, as the system's text output finds
        // them; else the face's only map (a Windows .fon).
        if (FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0) {
            symbol_ = FT_Select_Charmap(face_, FT_ENCODING_MS_SYMBOL) == 0;
            if (!symbol_ && face_->num_charmaps > 0) FT_Set_Charmap(face_, face_->charmaps[0]);
        }
    }
    ~FreeTypeFaceGlyphs() override
    {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FreeTypeFaceGlyphs(const FreeTypeFaceGlyphs&) = delete;
    FreeTypeFaceGlyphs& operator=(const FreeTypeFaceGlyphs&) = delete;

    std::vector<std::pair<char32_t, std::uint32_t>> characterMap() override
    {
        std::vector<std::pair<char32_t, std::uint32_t>> out;
        if (!face_->charmap) return out;
        FT_UInt glyph = 0;
        for (FT_ULong c = FT_Get_First_Char(face_, &glyph); glyph != 0 && c <= 0x10FFFF;
             c = FT_Get_Next_Char(face_, c, &glyph))
            out.emplace_back(static_cast<char32_t>(c), glyph);
        return out;
    }

    std::uint32_t glyphOf(char32_t c) override
    {
        if (!face_->charmap) return 0;
        if (symbol_ && c <= 0xFF)
            if (const FT_UInt g = FT_Get_Char_Index(face_, 0xF000 | c)) return g;
        return FT_Get_Char_Index(face_, c);
    }

    QString glyphName(std::uint32_t glyph) override
    {
        char name[128] = {};
        if (!FT_HAS_GLYPH_NAMES(face_) || glyph >= static_cast<std::uint32_t>(face_->num_glyphs) ||
            FT_Get_Glyph_Name(face_, glyph, name, sizeof name) != 0)
            return {};
        return QString::fromLatin1(name);
    }

    std::optional<GlyphImage> draw(std::uint32_t glyph, double pixelSize) override
    {
        if (!(pixelSize > 0) || pixelSize > kMaxPixelSize) return std::nullopt;
        double scale = 1;
        if (!setSize(pixelSize, scale)) return std::nullopt;
        FT_Int32 flags = FT_IS_SCALABLE(face_) ? FT_LOAD_TARGET_LIGHT : FT_LOAD_DEFAULT;
        if (FT_HAS_COLOR(face_)) flags |= FT_LOAD_COLOR;
        if (FT_Load_Glyph(face_, glyph, flags) != 0) return std::nullopt;
        FT_GlyphSlot slot = face_->glyph;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return std::nullopt;
        GlyphImage out;
        out.image = imageOf(slot->bitmap);
        out.offset = QPoint(slot->bitmap_left, -slot->bitmap_top);
        out.advance = slot->advance.x / 64.0;
        out.ascent = static_cast<int>(std::ceil(face_->size->metrics.ascender / 64.0));
        out.descent = static_cast<int>(std::ceil(-face_->size->metrics.descender / 64.0));
        if (scale != 1) {
            // A bitmap face drawn at another size than its own (a colour emoji strike of 109 pixels).
            if (!out.image.isNull())
                out.image = out.image.scaled(std::max(1, qRound(out.image.width() * scale)),
                                             std::max(1, qRound(out.image.height() * scale)),
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            out.offset = QPoint(qRound(out.offset.x() * scale), qRound(out.offset.y() * scale));
            out.advance *= scale;
            out.ascent = qRound(out.ascent * scale);
            out.descent = qRound(out.descent * scale);
        }
        return out;
    }

private:
    bool setSize(double pixelSize, double& scale)
    {
        scale = 1;
        if (FT_IS_SCALABLE(face_))
            return FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72) ==
                   0;
        const int best = nearestFixedSize(face_, pixelSize);
        if (best < 0) return false;
        if (FT_Select_Size(face_, best) != 0) return false;
        const double strike = face_->available_sizes[best].y_ppem / 64.0;
        // Colour strikes are made to be scaled; a plain bitmap face is shown at its own nearest size.
        if (FT_HAS_COLOR(face_) && strike > 0) scale = pixelSize / strike;
        return true;
    }

    FT_Library library_;
    FT_Face face_;
    bool symbol_ = false;
};

} // namespace

std::unique_ptr<FaceGlyphs> FreeTypeGlyphMaps::open(const QString& path, int index)
{
    FT_Library library = nullptr;
    if (index < 0 || FT_Init_FreeType(&library) != 0) return nullptr;
    FT_Face face = openFaceByReads(library, path, index);
    if (!face) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    return std::make_unique<FreeTypeFaceGlyphs>(library, face);
}

} // namespace quillon::platform
