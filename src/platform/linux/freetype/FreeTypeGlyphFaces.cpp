#include "platform/linux/freetype/FreeTypeGlyphFaces.h"

#include "platform/linux/freetype/FreeTypeGlyphFace.h"

namespace quillon::platform {

std::unique_ptr<GlyphFace> FreeTypeGlyphFaces::open(const QString& path, int index)
{
    return FreeTypeGlyphFace::openAlone(path, index);
}

} // namespace quillon::platform
