#include "platform/linux/registry/SfntFullName.h"

#include "sfnt/Cursor.h"
#include "sfnt/NameTable.h"

namespace quillon::platform {

namespace {

constexpr std::size_t kMaxTables = 4096;
constexpr std::size_t kMaxNameTable = 4 * 1024 * 1024;

/// The fonts key only names faces of files that hold a whole sfnt header and name table: a file cut
/// anywhere before the end of its name table gives no name rather than a guess.
std::string fullName(const sfnt::Source& source, int faceNumber)
{
    using sfnt::tag;
    if (!source.holds(0, sfnt::kOffsetTableSize)) return {};
    const std::optional<sfnt::Directory> dir = sfnt::readDirectory(source, faceNumber);
    if (!dir || (dir->collection && !source.holds(12 + 4 * std::uint64_t(faceNumber), 4))) return {};
    if (!source.holds(dir->fontStart, sfnt::kOffsetTableSize)) return {};
    if (dir->version != 0x00010000 && dir->version != tag("OTTO") && dir->version != tag("true")) return {};
    if (dir->numTables == 0 || dir->numTables > kMaxTables ||
        !source.holds(dir->fontStart + sfnt::kOffsetTableSize, std::uint64_t{dir->numTables} * 16))
        return {};
    const sfnt::TableEntry* name = dir->first(tag("name"));
    if (!name || name->length < 6 || name->length > kMaxNameTable ||
        !source.holds(name->offset, name->length))
        return {};
    source.prefetch(name->offset, name->length);
    sfnt::NameTable table;
    if (!sfnt::readNameTable(source, name->offset, std::uint64_t{name->offset} + name->length, table))
        return {};

    sfnt::TextBudget budget = sfnt::TextBudget::forFile(source.size());
    QString best;
    for (const sfnt::NameRecord& r : table.records) {
        if (r.platformID != 3 || r.nameID != 4 ||
            (r.encodingID != 0 && r.encodingID != 1 && r.encodingID != 10))
            continue;
        if ((r.languageID & 0x3FF) != 0x09) continue; // English, any country
        QString text = sfnt::readNameText(source, table, r, budget);
        text.remove(QChar(0));
        if (text.isEmpty()) continue;
        if (r.languageID == 0x0409) return text.toStdString();
        if (best.isEmpty()) best = std::move(text);
    }
    return best.toStdString();
}

} // namespace

std::string windowsEnglishFullNameFromBytes(const std::string& bytes, int faceNumber)
{
    const sfnt::MemorySource source(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return fullName(source, faceNumber);
}

std::string windowsEnglishFullName(const std::string& path, int faceNumber)
{
    sfnt::FileSource file;
    if (!file.open(QByteArray::fromStdString(path))) return {};
    return fullName(file, faceNumber);
}

} // namespace quillon::platform
