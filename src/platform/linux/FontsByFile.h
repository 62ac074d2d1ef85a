#pragma once
// fontconfig's match for a request that names its font file, without scoring every installed font.
//
// Qt asks fontconfig for a full match each time it makes a font engine, only to read the rendering settings
// (hinting, antialiasing, subpixel order) for the file it has already chosen; the request carries that file.
// fontconfig's match scores every installed font, so with tens of thousands of fonts each new face drawn
// costs some 15 ms there alone. The file is the match's first criterion: a font with exactly the file asked
// scores better than any other font (a font without a file scores the same), so matching among those fonts
// alone, in fontconfig's own order, gives the very result of the full match. This index finds them by file.
//
// Thread-safe: Qt may make font engines on any thread.

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace quillon::platform {

class FontsByFile {
public:
    /// What FcFontMatch(config, request, result) returns: the same pattern, owned by the caller.
    FcPattern* match(FcConfig* config, FcPattern* request, FcResult* result);

private:
    struct Entry {
        std::uint64_t fileHash = 0;
        std::uint32_t set = 0;   // 0 the system fonts, 1 the application's
        std::uint32_t index = 0; // in that set
    };
    // The fonts that can win for a request naming `file`: those with that exact file and those with none,
    // in fontconfig's order. False when the shortcut cannot be taken (a font whose file is not text).
    bool candidates(FcConfig* config, const char* file, FcFontSet* sets[2], std::vector<FcPattern*>& out);
    void rebuild(FcConfig* config, FcFontSet* sets[2]);

    std::mutex mutex_;
    FcConfig* config_ = nullptr;
    FcFontSet* sets_[2] = {nullptr, nullptr};
    int counts_[2] = {0, 0};
    bool usable_ = false;
    std::vector<Entry> byFile_;   // sorted by file hash, then set and index
    std::vector<Entry> fileless_; // in set and index order
};

} // namespace quillon::platform
