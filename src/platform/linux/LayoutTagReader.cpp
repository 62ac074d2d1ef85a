#include "platform/linux/LayoutTagReader.h"

#include "platform/NativeText.h"
#include "sfnt/Directory.h"
#include "sfnt/Source.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quillon::platform {

namespace {

struct Tables {
    const sfnt::Source& file;
    const sfnt::Directory& directory;
};

/// HarfBuzz asks for each table it needs; it gets a copy of the table's bytes or nothing.
hb_blob_t* referenceTable(hb_face_t*, hb_tag_t tag, void* data)
{
    const auto* tables = static_cast<const Tables*>(data);
    const sfnt::TableEntry* entry = tables->directory.first(tag);
    if (!entry || entry->length == 0 || entry->length > kMaxLayoutTableBytes ||
        !tables->file.holds(entry->offset, entry->length))
        return nullptr;
    char* bytes = static_cast<char*>(std::malloc(entry->length));
    if (!bytes) return nullptr;
    if (!tables->file.read(entry->offset, reinterpret_cast<std::uint8_t*>(bytes), entry->length)) {
        std::free(bytes);
        return nullptr;
    }
    return hb_blob_create(bytes, entry->length, HB_MEMORY_MODE_WRITABLE, bytes, std::free);
}

/// A tag as four characters; nullopt for one a font made of other bytes than printable ASCII, which no
/// registered or private tag is and no user could type.
std::optional<QByteArray> tagText(hb_tag_t tag)
{
    char text[4];
    hb_tag_to_string(tag, text);
    for (char c : text)
        if (c < 0x20 || c > 0x7e) return std::nullopt;
    return QByteArray(text, 4);
}

void addFeatures(hb_face_t* face, hb_tag_t table, QByteArrayList& out)
{
    hb_tag_t tags[64];
    unsigned start = 0;
    for (;;) {
        unsigned count = 64;
        const unsigned total = hb_ot_layout_table_get_feature_tags(face, table, start, &count, tags);
        for (unsigned i = 0; i < count; ++i)
            if (const auto tag = tagText(tags[i])) out << *tag;
        start += count;
        if (count == 0 || start >= total) break;
    }
}

bool isSfnt(std::uint32_t version)
{
    return version == 0x00010000 || version == 0x4F54544F /* OTTO */ || version == 0x74727565 /* true */;
}

} // namespace

std::optional<LayoutTags> readLayoutTags(const sfnt::Source& file, int faceNumber)
{
    const std::optional<sfnt::Directory> directory = sfnt::readDirectory(file, faceNumber);
    if (!directory) {
        // A file that is no sfnt at all holds no layout tables; one whose face is missing is another matter.
        std::uint8_t head[4] = {};
        if (faceNumber == 0 && file.read(0, head, 4) && std::memcmp(head, "ttcf", 4) != 0 && file.size() > 0)
            return LayoutTags{};
        return std::nullopt;
    }
    if (!isSfnt(directory->version)) return LayoutTags{};
    Tables tables{file, *directory};
    hb_face_t* face = hb_face_create_for_tables(referenceTable, &tables, nullptr);
    LayoutTags out;
    addFeatures(face, HB_OT_TAG_GSUB, out.features);
    addFeatures(face, HB_OT_TAG_GPOS, out.features);
    std::sort(out.features.begin(), out.features.end());
    out.features.erase(std::unique(out.features.begin(), out.features.end()), out.features.end());
    hb_ot_var_axis_info_t axes[16];
    unsigned start = 0;
    for (;;) {
        unsigned count = 16;
        const unsigned total = hb_ot_var_get_axis_infos(face, start, &count, axes);
        for (unsigned i = 0; i < count; ++i)
            if (const auto tag = tagText(axes[i].tag)) out.axes << *tag;
        start += count;
        if (count == 0 || start >= total) break;
    }
    hb_face_destroy(face);
    return out;
}

std::optional<LayoutTags> readLayoutTags(const QString& path, int index)
{
    sfnt::FileSource file;
    if (!file.open(nativeBytes(path))) return std::nullopt;
    return readLayoutTags(file, index & 0xffff);
}

} // namespace quillon::platform
