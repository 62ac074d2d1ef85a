#include "platform/linux/FreeTypeGlyphMaps.h"

#include "platform/linux/FreeTypeGlyphFace.h"

namespace quillon::platform {

std::unique_ptr<GlyphFace> FreeTypeGlyphMaps::open(const QString& path, int index)
{
    return FreeTypeGlyphFace::openAlone(path, index);
}

} // namespace quillon::platform
