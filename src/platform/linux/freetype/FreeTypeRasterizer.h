#pragma once
// FaceRasterizer with FreeType: opens the face, renders each glyph with light hinting in grey levels (as
// Qt renders on this desktop by default), and closes the face again; nothing is kept between calls.

#include "platform/FaceRasterizer.h"

typedef struct FT_LibraryRec_* FT_Library;

namespace quillon::platform {

class FreeTypeRasterizer final : public FaceRasterizer {
public:
    FreeTypeRasterizer();
    ~FreeTypeRasterizer() override;
    FreeTypeRasterizer(const FreeTypeRasterizer&) = delete;
    FreeTypeRasterizer& operator=(const FreeTypeRasterizer&) = delete;

    std::optional<RasterLine> rasterize(const QString& file, int index, double pixelSize,
                                        const QString& text) override;
    std::optional<double> advance(const QString& file, int index, double pixelSize,
                                  const QString& text) override;
    std::unique_ptr<GlyphFace> openGlyphs(const QString& file, int index) override;

private:
    FT_Library library_ = nullptr;
};

} // namespace quillon::platform
