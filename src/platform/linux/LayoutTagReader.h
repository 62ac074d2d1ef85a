#pragma once
// The layout feature tags and variation axes of one face, read by HarfBuzz from the tables the program's
// bounded reader hands it (each at most kMaxLayoutTableBytes, never past the file's end). The one place the
// finder reads these from a file; the face information window reads its own.

#include "platform/FaceSurvey.h"

#include <QString>

#include <optional>

namespace quillon::sfnt {
class Source;
}

namespace quillon::platform {

/// A table larger than this is treated as absent (real layout tables are at most a few MiB).
inline constexpr std::uint32_t kMaxLayoutTableBytes = 16u << 20;

/// Face `faceNumber` (of a collection, else 0) of an sfnt in `file`: its tags. A file that is no sfnt (Type
/// 1, bitmap) has none: empty tags. nullopt only when the file cannot be read or holds no such face.
std::optional<LayoutTags> readLayoutTags(const sfnt::Source& file, int faceNumber);
/// The same for the face at `index` (as the font engine takes it: named instance bits are ignored) of the
/// file at `path`.
std::optional<LayoutTags> readLayoutTags(const QString& path, int index);

} // namespace quillon::platform
