#pragma once
// GlyphFace with FreeType: the face is opened through reads of its file (never mapped), glyphs are rendered
// with light hinting in grey levels (as Qt renders on this desktop), colour glyphs (bitmap emoji, COLR
// layers) in colour, and the design coordinates go to FreeType's variation interface.

#include "platform/GlyphFace.h"

#include <QString>

#include <memory>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace quillon::platform {

class FreeTypeGlyphFace final : public GlyphFace {
public:
    /// Face `index` (as FreeType takes it) of `file`; null when FreeType cannot open it. `library` must
    /// outlive the face.
    static std::unique_ptr<FreeTypeGlyphFace> open(FT_Library library, const QString& file, int index);
    /// The same with a FreeType library of the face's own, so that it can be used on any one thread.
    static std::unique_ptr<FreeTypeGlyphFace> openAlone(const QString& file, int index);
    ~FreeTypeGlyphFace() override;
    FreeTypeGlyphFace(const FreeTypeGlyphFace&) = delete;
    FreeTypeGlyphFace& operator=(const FreeTypeGlyphFace&) = delete;

    int unitsPerEm() const override;
    int ascender() const override;
    int descender() const override;
    bool setCoordinates(const std::vector<double>& design) override;
    std::optional<GlyphImage> image(unsigned glyph, double pixelSize, double subpixel) override;
    QPainterPath outline(unsigned glyph) override;
    unsigned glyphOf(char32_t character) override;
    std::vector<std::pair<char32_t, unsigned>> characterMap() override;
    double advance(unsigned glyph) override;
    QByteArray glyphName(unsigned glyph) override;

private:
    explicit FreeTypeGlyphFace(FT_Face face);
    bool setPixelSize(double pixelSize);

    FT_Face face_ = nullptr;
    FT_Library ownLibrary_ = nullptr; // the face's own library (openAlone), let go after the face
    bool symbol_ = false;             // a symbol font: characters live at U+F000 and up
    double pixelSize_ = -1; // the size the face is set to; -1 none, 0 the outline size (one unit a pixel)
    int strike_ = -1;       // the strike selected for a face with only bitmaps
};

} // namespace quillon::platform
