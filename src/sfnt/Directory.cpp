#include "sfnt/Directory.h"

#include "sfnt/Cursor.h"

#include <algorithm>
#include <array>

namespace quillon::sfnt {

const TableEntry* Directory::first(std::uint32_t wanted) const
{
    auto it =
        std::find_if(entries.begin(), entries.end(), [&](const TableEntry& e) { return e.tag == wanted; });
    return it == entries.end() ? nullptr : &*it;
}

const TableEntry* Directory::last(std::uint32_t wanted) const
{
    auto it =
        std::find_if(entries.rbegin(), entries.rend(), [&](const TableEntry& e) { return e.tag == wanted; });
    return it == entries.rend() ? nullptr : &*it;
}

std::size_t recordsBefore(std::uint64_t end, std::uint64_t start, std::size_t count, std::size_t recordSize)
{
    if (start >= end || recordSize == 0) return 0;
    const std::uint64_t room = (end - start + recordSize - 1) / recordSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
}

std::optional<Directory> readDirectory(const Source& source, int face, Work* work)
{
    if (face < 0) return std::nullopt;
    std::array<std::uint8_t, kOffsetTableSize> header{};
    if (!source.read(0, header.data(), header.size())) return std::nullopt;
    Directory dir;
    Cursor offsetTable(header.data(), header.size());
    if (offsetTable.u32(0) == kCollectionTag) {
        // numFonts at 8, then one offset table position per face from 12.
        dir.collection = true;
        dir.numFonts = offsetTable.u32(8);
        if (static_cast<std::uint32_t>(face) >= dir.numFonts) return std::nullopt;
        std::array<std::uint8_t, 4> at{};
        if (!source.read(12 + 4 * std::uint64_t(face), at.data(), at.size())) return std::nullopt;
        dir.fontStart = Cursor(at.data(), at.size()).u32(0);
        // The face's offset table, directory and usually its small tables lie in its first page.
        if (!source.prefetch(dir.fontStart, 4096)) return std::nullopt;
        if (!source.read(dir.fontStart, header.data(), header.size())) return std::nullopt;
    } else if (face != 0) {
        return std::nullopt;
    }
    dir.version = offsetTable.u32(0);
    dir.numTables = offsetTable.u16(4);

    const std::uint64_t start = dir.fontStart + kOffsetTableSize;
    const std::size_t entries = recordsBefore(source.size(), start, dir.numTables, kDirectoryEntrySize);
    const std::vector<std::uint8_t> raw = source.bytes(start, entries * kDirectoryEntrySize);
    if (raw.size() != entries * kDirectoryEntrySize) return std::nullopt;
    const Cursor c(raw.data(), raw.size());
    dir.entries.resize(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint64_t e = i * kDirectoryEntrySize;
        dir.entries[i] = TableEntry{c.u32(e), c.u32(e + 4), c.u32(e + 8), c.u32(e + 12)};
    }
    if (work) {
        ++work->tablesParsed;
        work->recordsParsed += entries;
    }
    return dir;
}

} // namespace quillon::sfnt
