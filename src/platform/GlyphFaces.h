#pragma once
// Faces opened for drawing glyphs apart from the window's font engine: for the character map, which shows
// every character a face has, and for drawing sample text on a thread other than the window's. Each face
// opened here has a font engine of its own, so it may be used on any one thread while others are used on
// other threads.

#include "platform/GlyphFace.h"

#include <QString>

#include <memory>

namespace quillon::platform {

class GlyphFaces {
public:
    virtual ~GlyphFaces() = default;
    /// Face `index` (as the font engine takes it) of the font file at `path`, read without mapping it; null
    /// when it cannot be opened.
    virtual std::unique_ptr<GlyphFace> open(const QString& path, int index) = 0;
};

} // namespace quillon::platform
