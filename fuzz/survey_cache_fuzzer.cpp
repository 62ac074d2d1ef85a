// Feeds bytes to the face survey's cache reader, as the file a later start finds: what it accepts writes back
// to a text it reads again as the same cache, every record it keeps stands for a file by an absolute path,
// and every tag is four printable characters.
#include "FuzzCheck.h"

#include "platform/linux/survey/SurveyCache.h"

#include <cstdint>

using quillon::fuzz::check;
namespace platform = quillon::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<platform::SurveyCacheData> cache = platform::parseSurveyCache(text);
    if (!cache) return 0;
    check(cache->key.size() == 40, "a key of another length");
    for (const platform::CachedFile& file : cache->files) {
        check(file.path.startsWith('/'), "a file by a relative path");
        check(file.read || (file.tags.features.isEmpty() && file.tags.axes.isEmpty()),
              "tags of an unread file");
        for (const QByteArrayList* tags : {&file.tags.features, &file.tags.axes})
            for (const QByteArray& tag : *tags) {
                check(tag.size() == 4, "a tag of another length", QString::fromLatin1(tag));
                for (char c : tag) check(c >= 0x20 && c <= 0x7e, "a tag of unprintable bytes");
            }
    }
    for (const platform::CachedDraw& draw : cache->draws)
        check(draw.file >= -1 && draw.file < static_cast<int>(cache->files.size()), "a draw of no file");
    const std::optional<platform::SurveyCacheData> again =
        platform::parseSurveyCache(serializeSurveyCache(*cache));
    check(again && *again == *cache, "the cache written back reads otherwise");
    return 0;
}
