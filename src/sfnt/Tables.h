#pragma once
// The fixed-size tables the program looks into ("head", "OS/2"), the 'kern' check, and the details
// reader's whole read of one file, each a function over bytes.

#include "sfnt/NameTable.h"
#include "sfnt/Source.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillon::sfnt {

constexpr std::uint32_t kTrueTypeMagic = 0x5F0F3CF5;
constexpr std::size_t kHeadRecordSize = 54;
constexpr std::size_t kOs2RecordSize = 86; // the fields of a version 1 table

/// Whether the 54-byte "head" record at `start` carries the TrueType magic number (at 12). False in `ok` on
/// an I/O error.
bool headHasMagic(const Source& source, std::uint64_t start, bool& ok, Work* work = nullptr);

/// fsSelection (at 62) of the 86-byte "OS/2" record at `start`. False in `ok` on an I/O error.
std::uint16_t os2FsSelection(const Source& source, std::uint64_t start, bool& ok, Work* work = nullptr);

/// Whether a Microsoft 'kern' table (version 0) has a format-0 subtable with at least one pair: what counts
/// as "contains kerning tables". Reads only inside `table`.
bool kernTableHasPairs(std::span<const std::uint8_t> table);

/// What the details reader takes from one file.
struct FontFacts {
    bool valid = false;            // "head" carries the TrueType magic
    NameTable names;               // empty unless valid
    std::vector<QString> texts;    // the decoded text of each record, same index
    std::uint16_t fsSelection = 0; // of "OS/2", 0 without one
};

/// Reads `facts` from a font file or the first font of a collection: the first "head" entry decides
/// validity; only a valid file's names and OS/2 are read, from the last entry with each tag (a file that
/// lists a table twice gets the later one, as it always has), each table once, all texts within one
/// budget for the file. False when the file is not valid or an I/O error stopped the read; what was read
/// up to then stays in `facts`.
bool readFontFacts(const Source& source, FontFacts& facts, Work* work = nullptr);
FontFacts readFontFacts(std::span<const std::uint8_t> bytes);

} // namespace quillon::sfnt
