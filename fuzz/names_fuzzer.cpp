// Feeds bytes to the name records as the face information lists them, each text decoded by its platform and
// encoding: no text has more than two characters for each byte of its record, and none
// holds a lone surrogate (the texts are shown and written out as UTF-8).
#include "FuzzCheck.h"

#include "sfnt/NameEncodings.h"
#include "sfnt/NameTable.h"

#include <cstdint>
#include <span>

using quillon::fuzz::check;
namespace sfnt = quillon::sfnt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (int face : {0, 1}) {
        for (const sfnt::NameEntry& name : sfnt::listNames(bytes, face, sfnt::decodeNameTextByEncoding)) {
            check(name.text.size() <= 2 * static_cast<qsizetype>(size),
                  "a text longer than the file explains");
            const QString& text = name.text;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                    ++i;
                else
                    check(!text[i].isSurrogate(), "a lone surrogate in a name");
            }
        }
    }
    // The decoder alone, on the whole input, for each encoding it treats apart.
    for (const auto& [platform, encoding] :
         {std::pair{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {1, 1}, {1, 7}, {2, 0}, {1, 0}, {0, 3}})
        check(sfnt::decodeNameTextByEncoding(platform, encoding, data, size).size() <=
                  2 * static_cast<qsizetype>(size),
              "a text longer than its bytes explain");
    return 0;
}
