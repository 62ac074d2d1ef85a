#pragma once
// The "name" table: its records, and their texts decoded within a budget per file.
//
// The text of a record lies at (string storage + record offset) and is `length` bytes long; a text that does
// not lie wholly inside the table's bound (the file, or the table's own length, as the caller decides)
// is empty rather than half read.

#include "sfnt/Directory.h"
#include "sfnt/Source.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace quillon::sfnt {

/// One record of the "name" table, every field in host byte order.
struct NameRecord {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    std::uint16_t length = 0; // bytes
    std::uint16_t offset = 0; // bytes from the start of the string storage
};

struct NameTable {
    std::uint64_t storage = 0; // position of the string storage in the source
    std::uint64_t end = 0;     // texts and records end at or before this position
    /// The records that begin before `end`, in file order; the part of the last one past `end` reads as
    /// zero. A count larger than that never makes the reader allocate more.
    std::vector<NameRecord> records;
};

/// How many text bytes one file may have decoded. The texts of a sound font lie side by side in a string
/// storage that 16-bit offsets and lengths keep under 128 KiB, so what its distinct texts add up to stays
/// below that and below the file's size; a file whose records point at long overlapping spans must not make
/// the reader decode and hold far more than the file holds. Past the budget, texts stay empty.
class TextBudget {
public:
    explicit TextBudget(std::uint64_t bytes) : left_(bytes) {}
    /// The budget for a file of `size` bytes: twice the file and 64 KiB more, at most 1 MiB.
    static TextBudget forFile(std::uint64_t size);
    /// Takes `bytes` from the budget; false (and nothing taken) when that much is not left.
    bool take(std::uint64_t bytes);

private:
    std::uint64_t left_;
};

/// Reads the header and records of the "name" table at `start`; texts must end at or before `end` (clipped
/// to the source). False on an I/O error.
bool readNameTable(const Source& source, std::uint64_t start, std::uint64_t end, NameTable& table,
                   Work* work = nullptr);

/// How a record's bytes become text: decodeNameText (the details' rule) or decodeNameTextByEncoding.
using NameDecoder = QString (*)(std::uint16_t platformID, std::uint16_t encodingID, const std::uint8_t* bytes,
                                std::size_t length);

/// The texts of every record, index for index, decoded by `decode` (decodeNameText when null). Records that
/// share a text (font tools store identical strings once) share its one decoding. False on an I/O error
/// (texts read up to then are kept).
bool readNameTexts(const Source& source, const NameTable& table, TextBudget& budget,
                   std::vector<QString>& texts, Work* work = nullptr, NameDecoder decode = nullptr);

/// The text of one record; empty when it is not wholly inside the bound, past the budget or unreadable.
QString readNameText(const Source& source, const NameTable& table, const NameRecord& record,
                     TextBudget& budget, Work* work = nullptr);

/// One record with its decoded text, for listings.
struct NameEntry {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    QString text;
};

/// Every name record of face `face` (a collection's face, or 0) in file order, with its text, read as the
/// details reader reads them (the last "name" entry of the directory, texts inside the file, one budget),
/// decoded by `decode` (decodeNameText when null). Empty when the face or its name table cannot be found.
std::vector<NameEntry> listNames(const Source& source, int face = 0, NameDecoder decode = nullptr);
std::vector<NameEntry> listNames(std::span<const std::uint8_t> bytes, int face = 0,
                                 NameDecoder decode = nullptr);

/// The record the program reads for name `nameID`, the one rule for every reader of names (the details, the
/// face name, the marks and names of the face information): a Microsoft record replaces the choice, and one
/// in `systemLanguage` (a Windows LCID) ends the scan; another platform's record counts only while the
/// choice has no text. When no record is in the system language, the first Microsoft record in US English
/// comes before whatever the scan ended on (the language a font with a few translations is surest to carry,
/// where the last record could be any of them). Index into `records`, or -1 when none has the ID. Records
/// past the end of `texts` are not looked at.
int chosenNameRecord(const std::vector<NameRecord>& records, const std::vector<QString>& texts, int nameID,
                     std::uint32_t systemLanguage);
int chosenNameRecord(const std::vector<NameEntry>& entries, int nameID, std::uint32_t systemLanguage);

} // namespace quillon::sfnt
