// Feeds bytes to the archive reader as a downloaded archive of fonts, with small bounds so that the bounds
// themselves are reached, and checks what installing relies on:
// - a refused archive hands back no fonts;
// - no font handed on is named outside the archive ("../", absolute), hidden or from __MACOSX/;
// - no more bytes reach the sink than the bounds allow, and no more entries than there are.
#include "FuzzCheck.h"

#include "platform/linux/files/ArchiveFonts.h"

#include <cstdint>

using quillon::fuzz::check;
using quillon::platform::ArchiveFonts;
using quillon::platform::ArchiveLimits;
using quillon::platform::Unpacked;

namespace {

/// Counts what the reader hands on, and keeps nothing.
class CountingSink final : public ArchiveFonts::Sink {
public:
    bool begin(const QString& entry) override
    {
        const QString name = QString(entry).replace(QLatin1Char('\\'), QLatin1Char('/'));
        check(!name.startsWith(QLatin1Char('/')), "an absolute entry was handed on", entry);
        for (const QString& part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            check(part != QLatin1String(".."), "an entry outside the archive was handed on", entry);
            check(!part.startsWith(QLatin1Char('.')), "a hidden entry was handed on", entry);
        }
        check(!name.startsWith(QLatin1String("__MACOSX/")), "a __MACOSX entry was handed on", entry);
        check(!open, "an entry began before the last ended");
        open = true;
        ++begun;
        return true;
    }
    bool write(const char*, std::size_t size) override
    {
        check(open, "bytes came outside an entry");
        bytes += static_cast<std::int64_t>(size);
        return true;
    }
    bool end() override
    {
        open = false;
        return true;
    }
    std::int64_t bytes = 0;
    int begun = 0;
    bool open = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ArchiveLimits limits;
    limits.entries = 64;
    limits.bytes = 1 << 20;
    CountingSink sink;
    const Unpacked unpacked = ArchiveFonts::read(bytes, limits, sink);
    if (!unpacked.problem.isEmpty()) check(unpacked.fonts.empty(), "a refused archive handed back fonts");
    check(sink.bytes <= limits.bytes, "more bytes were unpacked than the bound allows");
    check(sink.begun <= limits.entries, "more entries were handed on than the bound allows");
    return 0;
}
