#include "platform/linux/freetype/FreeTypeGlyphFace.h"

#include "platform/linux/files/FontFileBytes.h"
#include "platform/linux/freetype/FreeTypeChoices.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstring>

namespace quillon::platform {

namespace {

// Limits that keep a malformed face or request from asking for huge images.
constexpr double kMaxPixelSize = 2000;
constexpr int kMaxExtent = 8192;

QPointF point(const FT_Vector* v) { return QPointF(v->x / 64.0, -v->y / 64.0); }

int moveTo(const FT_Vector* to, void* path)
{
    auto* p = static_cast<QPainterPath*>(path);
    p->closeSubpath();
    p->moveTo(point(to));
    return 0;
}

int lineTo(const FT_Vector* to, void* path)
{
    static_cast<QPainterPath*>(path)->lineTo(point(to));
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* path)
{
    static_cast<QPainterPath*>(path)->quadTo(point(control), point(to));
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* path)
{
    static_cast<QPainterPath*>(path)->cubicTo(point(control1), point(control2), point(to));
    return 0;
}

/// The rendered bitmap as an image: grey levels and bi-level as coverage, colour (premultiplied BGRA, the
/// byte order of ARGB32 on this machine) as it is. Null image for a blank glyph; nullopt for what cannot be
/// taken over.
std::optional<QImage> imageOf(const FT_Bitmap& bitmap)
{
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    if (width <= 0 || height <= 0) return QImage();
    if (width > kMaxExtent || height > kMaxExtent) return std::nullopt;
    const bool colour = bitmap.pixel_mode == FT_PIXEL_MODE_BGRA;
    QImage out(width, height, colour ? QImage::Format_ARGB32_Premultiplied : QImage::Format_Alpha8);
    if (out.isNull()) return std::nullopt;
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        uchar* dst = out.scanLine(row);
        if (colour) {
            std::memcpy(dst, src, static_cast<std::size_t>(width) * 4);
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
            for (int x = 0; x < width; ++x) dst[x] = static_cast<uchar>(src[x] * 255 / levels);
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

FreeTypeGlyphFace::FreeTypeGlyphFace(FT_Face face) : face_(face)
{
    selectCharmap(face_, symbol_); // a face without a usable map finds no glyph for any character
}

std::unique_ptr<FreeTypeGlyphFace> FreeTypeGlyphFace::open(FT_Library library, const QString& file, int index)
{
    FT_Face face = openFaceByReads(library, file, index);
    if (!face) return nullptr;
    if (!FT_IS_SCALABLE(face) && (face->num_fixed_sizes <= 0 || !face->available_sizes)) {
        FT_Done_Face(face);
        return nullptr;
    }
    return std::unique_ptr<FreeTypeGlyphFace>(new FreeTypeGlyphFace(face));
}

std::unique_ptr<FreeTypeGlyphFace> FreeTypeGlyphFace::openAlone(const QString& file, int index)
{
    FT_Library library = nullptr;
    if (index < 0 || FT_Init_FreeType(&library) != 0) return nullptr;
    std::unique_ptr<FreeTypeGlyphFace> face = open(library, file, index);
    if (!face) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    face->ownLibrary_ = library;
    return face;
}

FreeTypeGlyphFace::~FreeTypeGlyphFace()
{
    FT_Done_Face(face_);
    if (ownLibrary_) FT_Done_FreeType(ownLibrary_);
}

int FreeTypeGlyphFace::unitsPerEm() const
{
    if (FT_IS_SCALABLE(face_) && face_->units_per_EM > 0) return face_->units_per_EM;
    return std::max<int>(64, static_cast<int>(face_->available_sizes[0].y_ppem));
}

int FreeTypeGlyphFace::ascender() const
{
    if (FT_IS_SCALABLE(face_)) return face_->ascender;
    return unitsPerEm() * 4 / 5; // a strike keeps no metrics in font units: the usual share of the em
}

int FreeTypeGlyphFace::descender() const
{
    if (FT_IS_SCALABLE(face_)) return -face_->descender;
    return unitsPerEm() / 5;
}

bool FreeTypeGlyphFace::setCoordinates(const std::vector<double>& design)
{
    if (!FT_HAS_MULTIPLE_MASTERS(face_)) return false;
    FT_MM_Var* mm = nullptr;
    if (FT_Get_MM_Var(face_, &mm) != 0 || !mm) return false;
    std::vector<FT_Fixed> coordinates;
    for (FT_UInt a = 0; a < mm->num_axis; ++a)
        coordinates.push_back(a < design.size() ? static_cast<FT_Fixed>(std::lround(design[a] * 65536.0))
                                                : mm->axis[a].def);
    FT_Done_MM_Var(face_->glyph->library, mm);
    pixelSize_ = -1; // metrics and outlines change with the point
    return FT_Set_Var_Design_Coordinates(face_, static_cast<FT_UInt>(coordinates.size()),
                                         coordinates.data()) == 0;
}

bool FreeTypeGlyphFace::setPixelSize(double pixelSize)
{
    if (pixelSize == pixelSize_) return true;
    pixelSize_ = -1;
    if (FT_IS_SCALABLE(face_)) {
        // Size 0 stands for the outline size: one pixel a font unit, so outlines come in font units.
        const FT_F26Dot6 size = pixelSize == 0 ? static_cast<FT_F26Dot6>(unitsPerEm()) * 64
                                               : static_cast<FT_F26Dot6>(std::lround(pixelSize * 64));
        if (FT_Set_Char_Size(face_, 0, size, 72, 72) != 0) return false;
    } else {
        const int strike = nearestStrike(face_, pixelSize);
        if (strike < 0 || FT_Select_Size(face_, strike) != 0) return false;
        strike_ = strike;
    }
    pixelSize_ = pixelSize;
    return true;
}

std::optional<GlyphImage> FreeTypeGlyphFace::image(unsigned glyph, double pixelSize, double subpixel)
{
    if (!(pixelSize > 0 && pixelSize <= kMaxPixelSize) || glyph >= static_cast<unsigned>(face_->num_glyphs))
        return std::nullopt;
    if (!setPixelSize(pixelSize)) return std::nullopt;
    FT_Int32 flags = FT_IS_SCALABLE(face_) ? FT_LOAD_TARGET_LIGHT : FT_LOAD_DEFAULT;
    if (FT_HAS_COLOR(face_)) flags |= FT_LOAD_COLOR;
    if (FT_Load_Glyph(face_, glyph, flags) != 0) return std::nullopt;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Translate(&slot->outline, static_cast<FT_Pos>(std::lround(subpixel * 64)), 0);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return std::nullopt;
    std::optional<QImage> bitmap = imageOf(slot->bitmap);
    if (!bitmap) return std::nullopt;
    GlyphImage out{std::move(*bitmap), QPoint(slot->bitmap_left, -slot->bitmap_top)};
    if (!FT_IS_SCALABLE(face_) && !out.image.isNull()) {
        // A strike drawn at another size: scaled, as the shaper's advances are for the size asked for.
        const double scale = pixelSize / (face_->available_sizes[strike_].y_ppem / 64.0);
        const QSize size(std::max(1, static_cast<int>(std::lround(out.image.width() * scale))),
                         std::max(1, static_cast<int>(std::lround(out.image.height() * scale))));
        if (size.width() > kMaxExtent || size.height() > kMaxExtent) return std::nullopt;
        out.image = out.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        out.offset = QPoint(static_cast<int>(std::lround(out.offset.x() * scale)),
                            static_cast<int>(std::lround(out.offset.y() * scale)));
    }
    return out;
}

QPainterPath FreeTypeGlyphFace::outline(unsigned glyph)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (!FT_IS_SCALABLE(face_) || glyph >= static_cast<unsigned>(face_->num_glyphs) || !setPixelSize(0))
        return path;
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return path;
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    if (FT_Outline_Decompose(&face_->glyph->outline, &funcs, &path) != 0) return QPainterPath();
    path.closeSubpath();
    return path;
}

unsigned FreeTypeGlyphFace::glyphOf(char32_t character) { return glyphFor(face_, character, symbol_); }

std::vector<std::pair<char32_t, unsigned>> FreeTypeGlyphFace::characterMap()
{
    std::vector<std::pair<char32_t, unsigned>> out;
    if (!face_->charmap) return out;
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(face_, &glyph); glyph != 0 && c <= 0x10FFFF;
         c = FT_Get_Next_Char(face_, c, &glyph))
        out.emplace_back(static_cast<char32_t>(c), glyph);
    return out;
}

double FreeTypeGlyphFace::advance(unsigned glyph)
{
    FT_Fixed advance = 0;
    if (FT_IS_SCALABLE(face_)) {
        if (FT_Get_Advance(face_, glyph, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
        return static_cast<double>(advance);
    }
    // A strike's advance, in its 64 units a pixel.
    if (!setPixelSize(face_->available_sizes[0].y_ppem / 64.0)) return 0;
    if (FT_Get_Advance(face_, glyph, FT_LOAD_DEFAULT, &advance) != 0) return 0;
    return advance / 1024.0; // 16.16 pixels to 26.6
}

QByteArray FreeTypeGlyphFace::glyphName(unsigned glyph)
{
    char name[128] = {};
    if (!FT_HAS_GLYPH_NAMES(face_) || FT_Get_Glyph_Name(face_, glyph, name, sizeof name) != 0) return {};
    return QByteArray(name);
}

} // namespace quillon::platform
