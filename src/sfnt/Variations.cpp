#include "sfnt/Variations.h"

#include "sfnt/Cursor.h"
#include "sfnt/NameTable.h"

#include <algorithm>

namespace quillon::sfnt {

namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kAxisRecordSize = 20;

double fixed(const Cursor& c, std::uint64_t at) { return static_cast<std::int32_t>(c.u32(at)) / 65536.0; }

QByteArray tagText(std::uint32_t t)
{
    QByteArray out(4, ' ');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((t >> (24 - 8 * i)) & 0xff);
    return out;
}

} // namespace

std::optional<Fvar> parseFvar(std::span<const std::uint8_t> table)
{
    const Cursor c(table);
    if (!c.holds(0, kHeaderSize) || c.u16(0) != 1) return std::nullopt;
    const std::uint64_t axesAt = c.u16(4);
    const std::size_t axisCount = c.u16(8);
    const std::size_t axisSize = c.u16(10);
    const std::size_t instanceCount = c.u16(12);
    const std::size_t instanceSize = c.u16(14);
    // Sizes smaller than the fields read would make records overlap what they do not hold.
    if (axisSize < kAxisRecordSize || instanceSize < 4 + 4 * axisCount) return std::nullopt;

    Fvar out;
    const std::size_t axes = recordsBefore(c.size(), axesAt, axisCount, axisSize);
    for (std::size_t i = 0; i < axes; ++i) {
        const std::uint64_t at = axesAt + i * axisSize;
        if (!c.holds(at, kAxisRecordSize)) break;
        out.axes.push_back(
            {tagText(c.u32(at)), fixed(c, at + 4), fixed(c, at + 8), fixed(c, at + 12), c.u16(at + 18)});
    }
    // Without every axis an instance's coordinates could not be told apart.
    if (out.axes.size() < axisCount) return std::nullopt;
    const std::uint64_t instancesAt = axesAt + std::uint64_t{axisCount} * axisSize;
    const std::size_t instances = recordsBefore(c.size(), instancesAt, instanceCount, instanceSize);
    for (std::size_t i = 0; i < instances; ++i) {
        const std::uint64_t at = instancesAt + i * instanceSize;
        if (!c.holds(at, instanceSize)) break;
        FvarInstance instance;
        instance.subfamilyNameID = c.u16(at);
        for (std::size_t a = 0; a < axisCount; ++a) instance.coordinates.push_back(fixed(c, at + 4 + 4 * a));
        out.instances.push_back(std::move(instance));
    }
    return out;
}

std::optional<Fvar> readFvar(const Source& source, int face, Work* work)
{
    const std::optional<Directory> dir = readDirectory(source, face, work);
    const TableEntry* entry = dir ? dir->first(tag("fvar")) : nullptr;
    if (!entry || !source.holds(entry->offset, 0)) return std::nullopt;
    const std::uint64_t available = source.size() - entry->offset;
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>({entry->length, available, kMaxFvarBytes}));
    const std::vector<std::uint8_t> bytes = source.bytes(entry->offset, length);
    if (bytes.size() != length) return std::nullopt;
    if (work) ++work->tablesParsed;
    return parseFvar(bytes);
}

QString coordinateWords(const QByteArrayList& tags, const std::vector<double>& values)
{
    QStringList words;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QString tag = i < static_cast<std::size_t>(tags.size())
                                ? QString::fromLatin1(tags[static_cast<qsizetype>(i)]).trimmed()
                                : QStringLiteral("axis %1").arg(i + 1);
        words << tag + u' ' + QString::number(values[i], 'g', 6);
    }
    return words.join(QStringLiteral(", "));
}

QString instanceStyle(const Source& source, int faceIndex, std::uint32_t systemLanguage)
{
    if (faceIndex < 0) return {};
    const int face = faceIndex & 0xffff;
    const int named = faceIndex >> 16;
    const std::optional<Fvar> fvar = readFvar(source, face);
    if (!fvar) return {};
    const FvarInstance* instance = nullptr;
    if (named > 0) {
        if (static_cast<std::size_t>(named) <= fvar->instances.size())
            instance = &fvar->instances[static_cast<std::size_t>(named - 1)];
    } else {
        std::vector<double> defaults;
        for (const FvarAxis& a : fvar->axes) defaults.push_back(a.defaultValue);
        auto it = std::find_if(fvar->instances.begin(), fvar->instances.end(),
                               [&](const FvarInstance& i) { return i.coordinates == defaults; });
        if (it != fvar->instances.end()) instance = &*it;
        if (!instance) {
            QByteArrayList tags;
            for (const FvarAxis& a : fvar->axes) tags << a.tag;
            return coordinateWords(tags, defaults);
        }
    }
    if (!instance) return {};
    if (instance->subfamilyNameID != 0) {
        const std::vector<NameEntry> names = listNames(source, face);
        const int record = chosenNameRecord(names, instance->subfamilyNameID, systemLanguage);
        if (record >= 0 && !names[static_cast<std::size_t>(record)].text.isEmpty())
            return names[static_cast<std::size_t>(record)].text;
    }
    QByteArrayList tags;
    for (const FvarAxis& a : fvar->axes) tags << a.tag;
    return coordinateWords(tags, instance->coordinates);
}

} // namespace quillon::sfnt
