// Feeds bytes to the trait tables the font mapper's answers are worked out from: the 'kern' table check
// on the bytes as they are, and the traits and names of the first faces of the bytes as a font file
// (FreeType opens it from memory; one FreeType library serves every input).
#include "FuzzCheck.h"

#include "platform/linux/freetype/FreeTypeFaceTraits.h"
#include "sfnt/Tables.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <span>

using quillon::fuzz::check;
namespace platform = quillon::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FT_Library library = [] {
        FT_Library made = nullptr;
        check(FT_Init_FreeType(&made) == 0, "FreeType does not start");
        return made;
    }();

    (void)quillon::sfnt::kernTableHasPairs(std::span(data, size));

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int index : {0, 1, 1 << 16}) {
        const auto traits = platform::readFaceTraits(library, bytes, index);
        const auto names = platform::readFaceNames(library, bytes, index);
        check(traits.has_value() == names.has_value(), "a face opens for one question and not the other");
        if (names)
            check(names->sfnt || names->familiesLower.isEmpty(),
                  "name records read from a face without them");
        if (traits) check((traits->languageInfo & ~0x19u) == 0, "language flags beyond the three known");
    }
    return 0;
}
