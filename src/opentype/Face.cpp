#include "opentype/Face.h"

#include "sfnt/Directory.h"
#include "sfnt/Source.h"

#include <hb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace quillon::opentype {

struct Face::Tables {
    std::unique_ptr<sfnt::Source> source;
    sfnt::Directory directory;
    int face = 0;
    std::uint64_t bytes = 0;
    std::optional<std::vector<sfnt::NameEntry>> names;
};

namespace {

hb_blob_t* referenceTable(hb_face_t*, hb_tag_t tag, void* data)
{
    auto* tables = static_cast<Face::Tables*>(data);
    // Tag 0 asks for the whole file, which is never held: HarfBuzz then works table by table.
    const sfnt::TableEntry* entry = tag ? tables->directory.first(tag) : nullptr;
    if (!entry || entry->length == 0 || entry->length > Face::kMostTableBytes) return nullptr;
    const sfnt::Source& source = *tables->source;
    if (!source.holds(entry->offset, 0)) return nullptr;
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(entry->length, source.size() - entry->offset));
    if (length == 0) return nullptr;
    auto* bytes = static_cast<char*>(std::malloc(length));
    if (!bytes) return nullptr;
    if (!source.read(entry->offset, reinterpret_cast<std::uint8_t*>(bytes), length)) {
        std::free(bytes);
        return nullptr;
    }
    tables->bytes += length;
    return hb_blob_create(bytes, static_cast<unsigned>(length), HB_MEMORY_MODE_WRITABLE, bytes, std::free);
}

void destroyTables(void* data) { delete static_cast<Face::Tables*>(data); }

} // namespace

Face Face::open(const QByteArray& nativePath, int index)
{
    auto file = std::make_unique<sfnt::FileSource>();
    if (!file->open(nativePath)) return {};
    return make(std::move(file), index);
}

Face Face::fromSource(std::unique_ptr<sfnt::Source> source, int index)
{
    if (!source) return {};
    return make(std::move(source), index);
}

Face Face::make(std::unique_ptr<sfnt::Source> source, int index)
{
    if (index < 0) return {};
    auto tables = std::make_unique<Tables>();
    tables->face = index & 0xffff;
    std::optional<sfnt::Directory> directory = sfnt::readDirectory(*source, tables->face);
    // Any file's first bytes read as some directory: only TrueType and CFF outlines in an sfnt are one.
    constexpr std::uint32_t kTrueType = 0x00010000, kOpenType = 0x4F54544F /* OTTO */, kApple = 0x74727565;
    if (!directory || directory->entries.empty() ||
        (directory->version != kTrueType && directory->version != kOpenType && directory->version != kApple))
        return {};
    tables->directory = std::move(*directory);
    tables->source = std::move(source);
    Face out;
    out.tables_ = tables.get();
    out.face_ = hb_face_create_for_tables(referenceTable, tables.release(), destroyTables);
    out.namedInstance_ = index >> 16;
    return out;
}

Face::~Face()
{
    if (face_) hb_face_destroy(face_);
}

Face::Face(Face&& other) noexcept
    : face_(std::exchange(other.face_, nullptr)), tables_(std::exchange(other.tables_, nullptr)),
      namedInstance_(other.namedInstance_)
{
}

Face& Face::operator=(Face&& other) noexcept
{
    if (this != &other) {
        if (face_) hb_face_destroy(face_);
        face_ = std::exchange(other.face_, nullptr);
        tables_ = std::exchange(other.tables_, nullptr);
        namedInstance_ = other.namedInstance_;
    }
    return *this;
}

unsigned Face::unitsPerEm() const { return face_ ? hb_face_get_upem(face_) : 1000; }

bool Face::hasTable(const char (&tag)[5]) const
{
    return tables_ && tables_->directory.first(HB_TAG(tag[0], tag[1], tag[2], tag[3])) != nullptr;
}

const std::vector<sfnt::NameEntry>& Face::names() const
{
    static const std::vector<sfnt::NameEntry> kNone;
    if (!tables_) return kNone;
    if (!tables_->names) tables_->names = sfnt::listNames(*tables_->source, tables_->face);
    return *tables_->names;
}

std::uint64_t Face::tableBytes() const { return tables_ ? tables_->bytes : 0; }

} // namespace quillon::opentype
