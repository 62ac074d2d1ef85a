// Feeds bytes to the layout table reader as a font file, through HarfBuzz: the features, scripts, axes and
// instances of its first faces and named instances, every detail read. Each instance has one coordinate per
// axis, no feature tag is listed twice, the language systems walked stay within their bound, and a style
// name is no longer than the file explains.
#include "FuzzCheck.h"

#include "opentype/LayoutTables.h"
#include "sfnt/Source.h"

#include <cstdint>
#include <memory>
#include <span>

using quillon::fuzz::check;
namespace opentype = quillon::opentype;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (int index : {0, 1, 1 << 16, 2 << 16}) {
        const opentype::Face face =
            opentype::Face::fromSource(std::make_unique<quillon::sfnt::MemorySource>(bytes), index);
        const opentype::LayoutTables tables = readLayoutTables(face, opentype::Detail::Everything, 0x0409);
        std::size_t systems = 0;
        for (std::size_t i = 0; i < tables.features.size(); ++i) {
            check(i == 0 || tables.features[i - 1].tag < tables.features[i].tag, "a feature listed twice");
            systems += tables.features[i].systems.size();
        }
        check(systems <= opentype::kMostFeatureVisits, "more language systems than the walk may visit");
        for (const opentype::Instance& instance : tables.instances)
            check(instance.coordinates.size() == tables.axes.size(),
                  "an instance without one coordinate per axis");
        const QString style = opentype::instanceStyle(face, 0x0409);
        check(style.size() <= static_cast<qsizetype>(size) * 16 + 64,
              "a style longer than the file explains");
    }
    return 0;
}
