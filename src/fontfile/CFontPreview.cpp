#include "fontfile/CFontPreview.h"

#include "fontfile/NameText.h"
#include "fontfile/PositionedFile.h"
#include "platform/NativeText.h"

#include <QFile>
#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <sys/stat.h>

namespace quillon {

namespace {

constexpr std::uint32_t kTrueTypeMagic = 0x5F0F3CF5;
constexpr std::uint32_t kCollectionTag = 0x74746366; // 'ttcf'
constexpr std::size_t kOffsetTableSize = 12;
constexpr std::size_t kDirectoryEntrySize = 16;
constexpr std::size_t kHeadRecordSize = 54;
constexpr std::size_t kNameHeaderSize = 6;
constexpr std::size_t kNameRecordSize = 12;
constexpr std::size_t kOs2RecordSize = 86;
constexpr std::size_t kFsSelectionOffset = 62;
constexpr std::size_t kMagicNumberOffset = 12;
// Read ahead in one call: the start of a font (offset table, directory and, in the usual table order,
// "head" and "OS/2"), and a "name" table up to a size no sound one reaches.
constexpr std::size_t kFirstPage = 4096;
constexpr std::size_t kMostNameTable = 128 * 1024;

std::uint16_t raw16(const unsigned char* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint32_t raw32(const unsigned char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool tagIs(const unsigned char* entry, const char (&tag)[5]) { return std::memcmp(entry, tag, 4) == 0; }

/// How many records of `recordSize` bytes from `start` begin inside the file. Records that begin past the
/// end would read as all zeros; such records change no result (a zero name record has length 0 and an
/// empty text, a zero directory entry has no tag we look for), so they are neither read nor allocated.
std::size_t recordsBacked(const PositionedFile& file, std::uint64_t start, std::size_t count,
                          std::size_t recordSize)
{
    if (start >= file.size()) return 0;
    const std::uint64_t room = (file.size() - start + recordSize - 1) / recordSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
}

} // namespace

CFontPreview::CFontPreview(platform::FontSystem& fonts) : fonts_(fonts)
{
    systemLocale_ = fonts_.GetSystemDefaultLCID();
}

CFontPreview::~CFontPreview() { ReleaseFontFile(); }

void CFontPreview::setFontFile(const QString& path)
{
    ReleaseFontFile();
    // Opening a regular file answers the existence test as well; the attribute query is left for what
    // cannot be opened or read that way (an unreadable file still counts as existing).
    PositionedFile file;
    if (!file.open(path) && !FileExists(path)) return;
    // A second file must not inherit names, style bits or validity from the first.
    ClearFileState();
    fontFile_ = path;
    ReadFontTables(file);
    file.close();
    installed_ = ResolveFaceName();
    if (!installed_) {
        AddFontFile(path);
        ResolveFaceName();
    }
}

void CFontPreview::ClearFileState()
{
    faceName_.clear();
    installed_ = false;
    validTrueTypeFile_ = false;
    nameRecords_.clear();
    nameStrings_.clear();
    fsSelection_ = 0;
}

bool CFontPreview::ReadFontTables(PositionedFile& file)
{
    if (!file.isOpen() || !file.readAhead(0, kFirstPage)) return false;

    std::array<unsigned char, kOffsetTableSize> offsetTable{};
    if (!file.read(0, offsetTable.data(), offsetTable.size())) return false;
    std::uint64_t fontStart = 0;
    if (SwapLong(raw32(offsetTable.data())) == kCollectionTag) {
        // A collection: numFonts at 8, the first font's offset table position at 12.
        if (SwapLong(raw32(offsetTable.data() + 8)) == 0) return false;
        std::array<unsigned char, 4> firstFont{};
        if (!file.read(12, firstFont.data(), firstFont.size())) return false;
        fontStart = SwapLong(raw32(firstFont.data()));
        if (!file.readAhead(fontStart, kFirstPage)) return false;
        if (!file.read(fontStart, offsetTable.data(), offsetTable.size())) return false;
    }
    const std::size_t numTables = SwapInteger(raw16(offsetTable.data() + 4));

    const std::uint64_t directoryStart = fontStart + kOffsetTableSize;
    const std::size_t entries = recordsBacked(file, directoryStart, numTables, kDirectoryEntrySize);
    std::vector<unsigned char> directory(entries * kDirectoryEntrySize);
    if (!file.read(directoryStart, directory.data(), directory.size())) return false;
    auto entry = [&](std::size_t i) { return directory.data() + i * kDirectoryEntrySize; };
    auto tableOffset = [&](std::size_t i) -> std::uint64_t { return SwapLong(raw32(entry(i) + 8)); };

    for (std::size_t i = 0; i < entries; ++i) {
        if (!tagIs(entry(i), "head")) continue;
        if (!ReadHeadTable(file, tableOffset(i))) return false;
        break;
    }
    if (!validTrueTypeFile_) return false;

    // The tables may come in any order; a table listed twice is read twice, the later one winning.
    for (std::size_t i = 0; i < entries; ++i) {
        if (tagIs(entry(i), "name")) {
            const std::uint32_t length = SwapLong(raw32(entry(i) + 12));
            if (!file.readAhead(tableOffset(i), std::min<std::size_t>(length, kMostNameTable))) return false;
            if (!ReadNameTable(file, tableOffset(i))) return false;
        } else if (tagIs(entry(i), "OS/2")) {
            if (!ReadOs2Table(file, tableOffset(i))) return false;
        }
    }
    return true;
}

bool CFontPreview::ReadHeadTable(const PositionedFile& file, std::uint64_t start)
{
    std::array<unsigned char, kHeadRecordSize> head{};
    if (!file.read(start, head.data(), head.size())) return false;
    validTrueTypeFile_ = SwapLong(raw32(head.data() + kMagicNumberOffset)) == kTrueTypeMagic;
    return true;
}

bool CFontPreview::ReadNameTable(const PositionedFile& file, std::uint64_t start)
{
    std::array<unsigned char, kNameHeaderSize> header{};
    if (!file.read(start, header.data(), header.size())) return false;
    const std::size_t count = SwapInteger(raw16(header.data() + 2));
    const std::uint64_t storage = start + SwapInteger(raw16(header.data() + 4));
    const std::uint64_t recordsStart = start + kNameHeaderSize;
    const std::size_t backed = recordsBacked(file, recordsStart, count, kNameRecordSize);
    nameRecords_.assign(backed, NameRecord{});
    nameStrings_.assign(backed, QString());
    std::vector<unsigned char> raw(backed * kNameRecordSize);
    if (!file.read(recordsStart, raw.data(), raw.size())) return false;
    for (std::size_t r = 0; r < backed; ++r) {
        const unsigned char* p = raw.data() + r * kNameRecordSize;
        nameRecords_[r] = NameRecord{SwapInteger(raw16(p)),     SwapInteger(raw16(p + 2)),
                                     SwapInteger(raw16(p + 4)), SwapInteger(raw16(p + 6)),
                                     SwapInteger(raw16(p + 8)), SwapInteger(raw16(p + 10))};
    }
    return ReadNameTexts(file, storage);
}

bool CFontPreview::ReadNameTexts(const PositionedFile& file, std::uint64_t storage)
{
    // Records may share a text (font tools store identical strings once); it is read and decoded once. Texts
    // of a sound font lie side by side in the file, so what all distinct texts add up to never exceeds its
    // size; a file whose records point at overlapping long spans is not allowed to make the reader read
    // and hold far more than that: past the budget, texts stay empty.
    struct Span {
        std::uint64_t at;
        std::uint16_t length;
        std::uint16_t platformID;
        QString text;
    };
    const std::uint64_t budget = 2 * file.size() + 0x10000;
    std::uint64_t spent = 0;
    std::vector<Span> spans;
    QHash<std::uint64_t, std::size_t> spanOf;
    std::vector<std::pair<std::size_t, std::size_t>> uses; // record -> span
    for (std::size_t r = 0; r < nameRecords_.size(); ++r) {
        const NameRecord& record = nameRecords_[r];
        const std::uint64_t at = storage + record.offset;
        // A text that does not lie wholly inside the file stays empty rather than half read.
        if (record.length == 0 || !file.holds(at, record.length)) continue;
        const bool unicodePlatform = record.platformID == 0 || record.platformID == 3;
        const std::uint64_t key = (at << 17) | (std::uint64_t{record.length} << 1) | (unicodePlatform ? 1 : 0);
        auto known = spanOf.constFind(key);
        if (known == spanOf.constEnd()) {
            if (spent + record.length > budget) continue;
            spent += record.length;
            known = spanOf.insert(key, spans.size());
            spans.push_back(Span{at, record.length, record.platformID, {}});
        }
        uses.emplace_back(r, *known);
    }
    if (spans.empty()) return true;

    // The texts of a sound font sit together in the string storage: one read of the stretch that holds them
    // costs one system call instead of one per text. Scattered texts are read one by one.
    std::uint64_t low = spans.front().at, high = 0;
    for (const Span& span : spans) {
        low = std::min(low, span.at);
        high = std::max(high, span.at + span.length);
    }
    std::vector<unsigned char> bytes;
    if (high - low <= 2 * spent + 0x1000) {
        bytes.resize(static_cast<std::size_t>(high - low));
        if (!file.read(low, bytes.data(), bytes.size())) return false;
        for (Span& span : spans)
            span.text = decodeNameText(span.platformID, bytes.data() + (span.at - low), span.length);
    } else {
        for (Span& span : spans) {
            bytes.resize(span.length);
            if (!file.read(span.at, bytes.data(), bytes.size())) return false;
            span.text = decodeNameText(span.platformID, bytes.data(), bytes.size());
        }
    }
    for (const auto& [record, span] : uses) nameStrings_[record] = spans[span].text;
    return true;
}

bool CFontPreview::ReadOs2Table(const PositionedFile& file, std::uint64_t start)
{
    std::array<unsigned char, kOs2RecordSize> os2{};
    if (!file.read(start, os2.data(), os2.size())) return false;
    fsSelection_ = SwapInteger(raw16(os2.data() + kFsSelectionOffset));
    return true;
}

QString CFontPreview::LookupName(int nameId) const
{
    QString result;
    const std::size_t n = std::min(nameRecords_.size(), nameStrings_.size());
    for (std::size_t i = 0; i < n; ++i) {
        const NameRecord& record = nameRecords_[i];
        if (record.nameID != nameId) continue;
        if (record.platformID == 3) {
            result = nameStrings_[i];
            if (record.languageID == systemLocale_) break;
        } else if (result.isEmpty()) {
            result = nameStrings_[i];
        }
    }
    return result;
}

bool CFontPreview::ResolveFaceName()
{
    const QString family = LookupName(1);
    const QString candidates[] = {family, family + QLatin1Char(' ') + LookupName(2), LookupName(4)};
    for (const QString& candidate : candidates) {
        if (fonts_.stdFontName(candidate) == candidate) {
            faceName_ = candidate;
            return true;
        }
    }
    return false;
}

bool CFontPreview::AddFontFile(const QString& path)
{
    if (fonts_.AddFontResource(path) == 0) return false;
    addedFile_ = path;
    if (broadcast_) fonts_.SendFontChange();
    return true;
}

void CFontPreview::ReleaseFontFile()
{
    // Whatever this object added goes, whether or not its face resolved: a font left behind would stay in
    // the process's font table for the rest of the run.
    if (addedFile_.isEmpty()) return;
    fonts_.RemoveFontResource(addedFile_);
    addedFile_.clear();
    if (broadcast_) fonts_.SendFontChange();
    faceName_.clear();
    validTrueTypeFile_ = false;
}

bool CFontPreview::FileExists(const QString& path)
{
    // One attribute query: the path must exist (links followed) and not be a folder.
    if (path.isEmpty()) return false;
    struct stat attributes {};
    if (::stat(platform::nativeBytes(path).constData(), &attributes) != 0) return false;
    return !S_ISDIR(attributes.st_mode);
}

std::uint16_t CFontPreview::SwapInteger(std::uint16_t fileValue) { return qFromBigEndian(fileValue); }

std::uint32_t CFontPreview::SwapLong(std::uint32_t fileValue) { return qFromBigEndian(fileValue); }

bool CFontPreview::BitIsSet(std::uint16_t value, int bit)
{
    if (bit < 0 || bit > 15) return false;
    return (value >> bit) & 1u;
}

} // namespace quillon
