#pragma once
// The layout feature tags and variation axes of one face, as the finder keeps them: the tags the one reader
// of the layout tables (opentype/LayoutTables) finds, those of printable characters only.

#include "platform/FaceSurvey.h"

#include <QString>

#include <memory>
#include <optional>

namespace quillon::sfnt {
class Source;
}

namespace quillon::platform {

/// Face `faceNumber` (of a collection, else 0) of an sfnt in `file`: its tags. A file that is no sfnt (Type
/// 1, bitmap) has none: empty tags. nullopt only when the file cannot be read or holds no such face.
std::optional<LayoutTags> readLayoutTags(std::unique_ptr<sfnt::Source> file, int faceNumber);
/// The same for the face at `index` (as the font engine takes it: named instance bits are ignored) of the
/// file at `path`.
std::optional<LayoutTags> readLayoutTags(const QString& path, int index);

} // namespace quillon::platform
