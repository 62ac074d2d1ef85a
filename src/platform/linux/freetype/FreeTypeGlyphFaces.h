#pragma once
// GlyphFaces with FreeType: each opened face keeps its own FreeType library and the face open, read through
// ordinary reads (FontFileBytes), so a file replaced meanwhile gives missing glyphs, never a crash.

#include "platform/GlyphFaces.h"

namespace quillon::platform {

class FreeTypeGlyphFaces final : public GlyphFaces {
public:
    std::unique_ptr<GlyphFace> open(const QString& path, int index) override;
};

} // namespace quillon::platform
