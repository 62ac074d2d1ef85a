// Feeds bytes to the variations table reader, as a whole font file (the style of its first faces and named
// instances) and as the table itself: every instance read has one coordinate per axis, and no more records
// are kept than the bytes could hold.
#include "FuzzCheck.h"

#include "sfnt/Variations.h"

#include <cstdint>
#include <span>

using quillon::fuzz::check;
namespace sfnt = quillon::sfnt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto fvar = sfnt::parseFvar(bytes)) {
        check(fvar->axes.size() * 20 <= size, "more axes than the table holds");
        check(fvar->instances.size() * 4 <= size, "more instances than the table holds");
        for (const sfnt::FvarInstance& i : fvar->instances)
            check(i.coordinates.size() == fvar->axes.size(), "an instance without one coordinate per axis");
    }
    const sfnt::MemorySource source(bytes);
    for (int index : {0, 1, 1 << 16, 2 << 16, (7 << 16) | 1, -1}) {
        const QString style = sfnt::instanceStyle(source, index, 0x0409);
        // A name comes from the name table, coordinates from at most 65535 axes of a few characters each.
        check(style.size() <= static_cast<qsizetype>(size) * 16 + 64,
              "a style longer than the file explains");
    }
    return 0;
}
