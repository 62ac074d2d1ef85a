#include "sfnt/NameTable.h"

#include "sfnt/Cursor.h"
#include "sfnt/NameText.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>

namespace quillon::sfnt {

namespace {

constexpr std::size_t kNameHeaderSize = 6;
constexpr std::size_t kNameRecordSize = 12;
constexpr std::uint64_t kMostTextBudget = 1 << 20;

/// How a record's bytes turn into text; records that differ only in this decode the same span differently.
unsigned decodingOf(const NameRecord& r)
{
    if (r.platformID == 0 || r.platformID == 3) return 1;
    return r.platformID == 1 && r.encodingID == 0 ? 2 : 0;
}

/// The rule of chosenNameRecord over `count` records, `at(i)` giving the record's IDs and its text.
template <class At> int chooseRecord(std::size_t count, At at, int nameID, std::uint32_t systemLanguage)
{
    constexpr std::uint16_t kUsEnglish = 0x0409;
    int chosen = -1;
    int english = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const auto [record, text] = at(i);
        if (record.nameID != nameID) continue;
        if (record.platformID == 3) {
            chosen = static_cast<int>(i);
            if (record.languageID == systemLanguage) return chosen;
            if (record.languageID == kUsEnglish && english < 0) english = chosen;
        } else if (chosen < 0 || at(static_cast<std::size_t>(chosen)).second.isEmpty()) {
            chosen = static_cast<int>(i);
        }
    }
    return english >= 0 ? english : chosen;
}

bool inside(const NameTable& table, std::uint64_t at, std::uint64_t length)
{
    return at <= table.end && length <= table.end - at;
}

} // namespace

TextBudget TextBudget::forFile(std::uint64_t size)
{
    return TextBudget(std::min<std::uint64_t>(2 * size + 0x10000, kMostTextBudget));
}

bool TextBudget::take(std::uint64_t bytes)
{
    if (bytes > left_) return false;
    left_ -= bytes;
    return true;
}

bool readNameTable(const Source& source, std::uint64_t start, std::uint64_t end, NameTable& table, Work* work)
{
    table = NameTable{};
    table.end = std::min(end, source.size());
    std::array<std::uint8_t, kNameHeaderSize> header{};
    if (!source.read(start, header.data(), header.size())) return false;
    const Cursor h(header.data(), header.size());
    const std::size_t count = h.u16(2);
    table.storage = start + h.u16(4);

    const std::uint64_t recordsStart = start + kNameHeaderSize;
    const std::size_t backed = recordsBefore(table.end, recordsStart, count, kNameRecordSize);
    std::vector<std::uint8_t> raw = source.bytes(recordsStart, backed * kNameRecordSize);
    if (raw.size() != backed * kNameRecordSize) return false;
    if (backed > 0 && recordsStart + raw.size() > table.end) // the last record runs past the bound
        std::fill(raw.begin() + static_cast<std::ptrdiff_t>(table.end - recordsStart), raw.end(), 0);
    const Cursor c(raw.data(), raw.size());
    table.records.resize(backed);
    for (std::size_t r = 0; r < backed; ++r) {
        const std::uint64_t p = r * kNameRecordSize;
        table.records[r] =
            NameRecord{c.u16(p), c.u16(p + 2), c.u16(p + 4), c.u16(p + 6), c.u16(p + 8), c.u16(p + 10)};
    }
    if (work) {
        ++work->tablesParsed;
        work->recordsParsed += backed;
    }
    return true;
}

bool readNameTexts(const Source& source, const NameTable& table, TextBudget& budget,
                   std::vector<QString>& texts, Work* work, NameDecoder decode)
{
    if (!decode) decode = decodeNameText;
    texts.assign(table.records.size(), QString());
    struct Span {
        std::uint64_t at;
        std::uint16_t length;
        const NameRecord* record;
        QString text;
    };
    std::vector<Span> spans;
    // A text is decoded once for each way of decoding it: by the details' rule, records of one kind share
    // it; by encoding, records of one platform and encoding do.
    QHash<std::pair<std::uint64_t, std::uint32_t>, std::size_t> spanOf;
    std::vector<std::pair<std::size_t, std::size_t>> uses; // record -> span
    std::uint64_t spent = 0;
    for (std::size_t r = 0; r < table.records.size(); ++r) {
        const NameRecord& record = table.records[r];
        const std::uint64_t at = table.storage + record.offset;
        if (record.length == 0 || !inside(table, at, record.length)) continue;
        const std::pair<std::uint64_t, std::uint32_t> key(
            at << 16 | record.length, decode == decodeNameText
                                          ? decodingOf(record)
                                          : std::uint32_t{record.platformID} << 16 | record.encodingID);
        auto known = spanOf.constFind(key);
        if (known == spanOf.constEnd()) {
            if (!budget.take(record.length)) continue;
            spent += record.length;
            known = spanOf.insert(key, spans.size());
            spans.push_back(Span{at, record.length, &record, {}});
        }
        uses.emplace_back(r, *known);
    }
    if (spans.empty()) return true;
    if (work) work->bytesDecoded += spent;

    // The texts of a sound font sit together in the string storage: one read of the stretch that holds them
    // costs one system call instead of one per text. Scattered texts are read one by one.
    std::uint64_t low = spans.front().at, high = 0;
    for (const Span& span : spans) {
        low = std::min(low, span.at);
        high = std::max(high, span.at + span.length);
    }
    bool ok = true;
    std::vector<std::uint8_t> bytes;
    if (high - low <= 2 * spent + 0x1000) {
        bytes.resize(static_cast<std::size_t>(high - low));
        ok = source.read(low, bytes.data(), bytes.size());
        for (Span& span : spans)
            if (ok)
                span.text = decode(span.record->platformID, span.record->encodingID,
                                   bytes.data() + (span.at - low), span.length);
    } else {
        for (Span& span : spans) {
            bytes.resize(span.length);
            if (!source.read(span.at, bytes.data(), bytes.size())) {
                ok = false;
                break;
            }
            span.text = decode(span.record->platformID, span.record->encodingID, bytes.data(), bytes.size());
        }
    }
    for (const auto& [record, span] : uses) texts[record] = spans[span].text;
    return ok;
}

QString readNameText(const Source& source, const NameTable& table, const NameRecord& record,
                     TextBudget& budget, Work* work)
{
    const std::uint64_t at = table.storage + record.offset;
    if (record.length == 0 || !inside(table, at, record.length) || !budget.take(record.length)) return {};
    if (work) work->bytesDecoded += record.length;
    const std::vector<std::uint8_t> bytes = source.bytes(at, record.length);
    if (bytes.empty()) return {};
    return decodeNameText(record.platformID, record.encodingID, bytes.data(), bytes.size());
}

std::vector<NameEntry> listNames(const Source& source, int face, NameDecoder decode)
{
    std::vector<NameEntry> list;
    const std::optional<Directory> dir = readDirectory(source, face);
    const TableEntry* entry = dir ? dir->last(tag("name")) : nullptr;
    if (!entry) return list;
    NameTable table;
    std::vector<QString> texts;
    TextBudget budget = TextBudget::forFile(source.size());
    readNameTable(source, entry->offset, source.size(), table);
    readNameTexts(source, table, budget, texts, nullptr, decode);
    list.reserve(table.records.size());
    for (std::size_t i = 0; i < table.records.size(); ++i) {
        const NameRecord& r = table.records[i];
        list.push_back(NameEntry{r.platformID, r.encodingID, r.languageID, r.nameID, texts[i]});
    }
    return list;
}

std::vector<NameEntry> listNames(std::span<const std::uint8_t> bytes, int face, NameDecoder decode)
{
    return listNames(MemorySource(bytes), face, decode);
}

int chosenNameRecord(const std::vector<NameRecord>& records, const std::vector<QString>& texts, int nameID,
                     std::uint32_t systemLanguage)
{
    const auto at = [&](std::size_t i) {
        return std::pair<const NameRecord&, const QString&>(records[i], texts[i]);
    };
    return chooseRecord(std::min(records.size(), texts.size()), at, nameID, systemLanguage);
}

int chosenNameRecord(const std::vector<NameEntry>& entries, int nameID, std::uint32_t systemLanguage)
{
    const auto at = [&](std::size_t i) {
        return std::pair<const NameEntry&, const QString&>(entries[i], entries[i].text);
    };
    return chooseRecord(entries.size(), at, nameID, systemLanguage);
}

} // namespace quillon::sfnt
