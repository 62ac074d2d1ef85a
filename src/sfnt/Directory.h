#pragma once
// The offset table and table directory of one face of an sfnt file, or of a collection ('ttcf').

#include "sfnt/Source.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon::sfnt {

/// What a parse cost, for callers and tests that bound the work a hostile file can cause. Counts only grow.
struct Work {
    std::uint64_t tablesParsed = 0;  // directories and tables, each counted once per parse
    std::uint64_t recordsParsed = 0; // directory entries and name records
    std::uint64_t bytesDecoded = 0;  // name text bytes turned into characters
};

struct TableEntry {
    std::uint32_t tag = 0;
    std::uint32_t checkSum = 0;
    std::uint32_t offset = 0; // from the start of the file, also inside a collection
    std::uint32_t length = 0; // bytes
};

struct Directory {
    bool collection = false;
    std::uint32_t numFonts = 0;  // faces of a collection; 0 for a single font
    std::uint64_t fontStart = 0; // position of the face's offset table
    std::uint32_t version = 0;   // sfnt version of the face's offset table
    std::uint16_t numTables = 0; // as the offset table gives it
    /// The entries that begin inside the source, in directory order. Entries that would begin past its end
    /// read as all zeros, which name no table, so they are neither read nor kept.
    std::vector<TableEntry> entries;

    /// The first or last entry with the tag, or null. A tag listed twice names one table to every reader:
    /// which one each reader takes is its own rule, and it reads that table once.
    const TableEntry* first(std::uint32_t tag) const;
    const TableEntry* last(std::uint32_t tag) const;
};

constexpr std::uint32_t kCollectionTag = 0x74746366; // 'ttcf'
constexpr std::size_t kOffsetTableSize = 12;
constexpr std::size_t kDirectoryEntrySize = 16;

/// The directory of face `face`: of a collection, the face whose offset table the collection header lists
/// at that index; of a single font, face 0 only. Nothing when there is no such face or an I/O error
/// stopped the read. Fields past the end of the source read as zero.
std::optional<Directory> readDirectory(const Source& source, int face, Work* work = nullptr);

/// How many records of `recordSize` bytes from `start` begin before `end`: those are the records a count
/// read from a file is allowed to make a reader read and hold.
std::size_t recordsBefore(std::uint64_t end, std::uint64_t start, std::size_t count, std::size_t recordSize);

} // namespace quillon::sfnt
