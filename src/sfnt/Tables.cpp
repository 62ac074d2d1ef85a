#include "sfnt/Tables.h"

#include "sfnt/Cursor.h"

#include <algorithm>
#include <array>

namespace quillon::sfnt {

namespace {

constexpr std::size_t kMagicNumberOffset = 12;
constexpr std::size_t kFsSelectionOffset = 62;
// A "name" table is read ahead up to a size no sound one reaches.
constexpr std::size_t kMostNameTable = 128 * 1024;

} // namespace

bool headHasMagic(const Source& source, std::uint64_t start, bool& ok, Work* work)
{
    std::array<std::uint8_t, kHeadRecordSize> head{};
    ok = source.read(start, head.data(), head.size());
    if (work) ++work->tablesParsed;
    return ok && Cursor(head.data(), head.size()).u32(kMagicNumberOffset) == kTrueTypeMagic;
}

std::uint16_t os2FsSelection(const Source& source, std::uint64_t start, bool& ok, Work* work)
{
    std::array<std::uint8_t, kOs2RecordSize> os2{};
    ok = source.read(start, os2.data(), os2.size());
    if (work) ++work->tablesParsed;
    return ok ? Cursor(os2.data(), os2.size()).u16(kFsSelectionOffset) : 0;
}

bool kernTableHasPairs(std::span<const std::uint8_t> table)
{
    const Cursor c(table);
    if (c.size() < 4 || c.u16(0) != 0) return false; // only the Microsoft form counts
    const std::size_t subtables = c.u16(2);
    std::uint64_t at = 4;
    for (std::size_t i = 0; i < subtables && c.holds(at, 8); ++i) {
        const std::size_t subLength = c.u16(at + 2);
        const std::uint16_t coverage = c.u16(at + 4); // the format in the high byte
        if ((coverage >> 8) == 0 && c.u16(at + 6) > 0) return true;
        if (subLength < 6) break; // a length that does not move on would loop forever
        at += subLength;
    }
    return false;
}

bool readFontFacts(const Source& source, FontFacts& facts, Work* work)
{
    facts = FontFacts{};
    const std::optional<Directory> dir = readDirectory(source, 0, work);
    if (!dir) return false;
    if (const TableEntry* head = dir->first(tag("head"))) {
        bool ok = false;
        facts.valid = headHasMagic(source, head->offset, ok, work);
        if (!ok) return false;
    }
    if (!facts.valid) return false;

    if (const TableEntry* name = dir->last(tag("name"))) {
        if (!source.prefetch(name->offset, std::min<std::size_t>(name->length, kMostNameTable))) return false;
        if (!readNameTable(source, name->offset, source.size(), facts.names, work)) return false;
        TextBudget budget = TextBudget::forFile(source.size());
        if (!readNameTexts(source, facts.names, budget, facts.texts, work)) return false;
    }
    if (const TableEntry* os2 = dir->last(tag("OS/2"))) {
        bool ok = false;
        facts.fsSelection = os2FsSelection(source, os2->offset, ok, work);
        if (!ok) return false;
    }
    return true;
}

FontFacts readFontFacts(std::span<const std::uint8_t> bytes)
{
    FontFacts facts;
    readFontFacts(MemorySource(bytes), facts);
    return facts;
}

} // namespace quillon::sfnt
