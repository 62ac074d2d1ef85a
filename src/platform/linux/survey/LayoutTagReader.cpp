#include "platform/linux/survey/LayoutTagReader.h"

#include "opentype/LayoutTables.h"
#include "platform/NativeText.h"
#include "sfnt/Directory.h"
#include "sfnt/Source.h"

#include <cstring>

namespace quillon::platform {

namespace {

/// A tag as four characters, or false for one a font made of other bytes than printable ASCII, which no
/// registered or private tag is and no user could type.
bool isTagText(const QByteArray& tag)
{
    if (tag.size() != 4) return false;
    for (char c : tag)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

bool isSfnt(std::uint32_t version)
{
    return version == 0x00010000 || version == 0x4F54544F /* OTTO */ || version == 0x74727565 /* true */;
}

} // namespace

std::optional<LayoutTags> readLayoutTags(std::unique_ptr<sfnt::Source> file, int faceNumber)
{
    const std::optional<sfnt::Directory> directory = sfnt::readDirectory(*file, faceNumber);
    if (!directory) {
        // A file that is no sfnt at all holds no layout tables; one whose face is missing is another matter.
        std::uint8_t head[4] = {};
        if (faceNumber == 0 && file->read(0, head, 4) && std::memcmp(head, "ttcf", 4) != 0 &&
            file->size() > 0)
            return LayoutTags{};
        return std::nullopt;
    }
    if (!isSfnt(directory->version)) return LayoutTags{};
    const opentype::Face face = opentype::Face::fromSource(std::move(file), faceNumber);
    if (!face) return std::nullopt;
    // The one reader of the layout tables, asked for the tags alone: features by tag, each once.
    const opentype::LayoutTables tables = opentype::readLayoutTables(face, opentype::Detail::Tags);
    LayoutTags out;
    for (const opentype::Feature& feature : tables.features)
        if (isTagText(feature.tag)) out.features << feature.tag;
    for (const opentype::Axis& axis : tables.axes)
        if (isTagText(axis.tag)) out.axes << axis.tag;
    return out;
}

std::optional<LayoutTags> readLayoutTags(const QString& path, int index)
{
    auto file = std::make_unique<sfnt::FileSource>();
    if (!file->open(nativeBytes(path))) return std::nullopt;
    return readLayoutTags(std::move(file), index & 0xffff);
}

} // namespace quillon::platform
