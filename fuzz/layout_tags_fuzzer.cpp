// Feeds bytes to the finder's layout tag reader as a whole font file (faces 0, 1 and a named instance): it
// ends, and every tag it gives is four printable characters, each feature once, in order, so the cache can
// keep them.
#include "FuzzCheck.h"

#include "platform/linux/LayoutTagReader.h"
#include "sfnt/Source.h"

#include <algorithm>
#include <cstdint>
#include <span>

using quillon::fuzz::check;
namespace platform = quillon::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const quillon::sfnt::MemorySource source(std::span<const std::uint8_t>(data, size));
    for (int face : {0, 1}) {
        const std::optional<platform::LayoutTags> tags = platform::readLayoutTags(source, face);
        if (!tags) continue;
        for (const QByteArrayList* list : {&tags->features, &tags->axes})
            for (const QByteArray& tag : *list) {
                check(tag.size() == 4, "a tag of another length");
                for (char c : tag) check(c >= 0x20 && c <= 0x7e, "a tag of unprintable bytes");
            }
        check(std::is_sorted(tags->features.begin(), tags->features.end()), "features out of order");
        check(std::adjacent_find(tags->features.begin(), tags->features.end()) == tags->features.end(),
              "a feature twice");
    }
    return 0;
}
