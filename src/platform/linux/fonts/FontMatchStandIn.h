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
// A request by family alone (the substitute for a name no face has, the stand-in for the captions) is
// answered among the fonts that have one of the request's families, when that provably gives the full
// match's answer (see familyCandidates); otherwise, and for every other request, all fonts are scored.
//
// The proof rests on the order in which fontconfig ranks a request's elements, read from the fontconfig
// versions listed in provenOn. Any other version, and any request holding an element whose rank this file
// does not know, gets fontconfig's own full match: a newer fontconfig that ranks something new before the
// family can make the answer slower, never different.
//
// Thread-safe: Qt may make font engines on any thread.

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace quillon::platform {

class FontMatchStandIn {
public:
    /// Whether the shortcuts were proven against fontconfig's scoring in this version (FcGetVersion's
    /// number, 21401 for 2.14.1).
    static bool provenOn(int fontconfigVersion);

    /// `enabled` false, or a fontconfig version not proven, sends every request to fontconfig's own match.
    explicit FontMatchStandIn(bool enabled = true, int fontconfigVersion = FcGetVersion());
    ~FontMatchStandIn();
    FontMatchStandIn(const FontMatchStandIn&) = delete;
    FontMatchStandIn& operator=(const FontMatchStandIn&) = delete;

    /// What FcFontMatch(config, request, result) returns: the same pattern, owned by the caller.
    FcPattern* match(FcConfig* config, FcPattern* request, FcResult* result);

    /// Requests answered among a few fonts instead of all of them, since construction.
    std::uint64_t shortcuts() const { return shortcuts_.load(std::memory_order_relaxed); }

private:
    struct Entry {
        std::uint64_t hash = 0;  // of the file name, or in byFamily_ of a family name's key
        std::uint32_t set = 0;   // 0 the system fonts, 1 the application's
        std::uint32_t index = 0; // in that set
    };
    struct Request;
    static Request shapeOf(FcPattern* request);
    // The fonts that can win for a request naming `file`: those with that exact file and those with none,
    // in fontconfig's order. False when the shortcut cannot be taken (a font whose file is not text).
    bool candidates(FcConfig* config, const char* file, FcFontSet* sets[2], std::vector<FcPattern*>& out);
    // The fonts that can win for a request by family: those with one of its families, and those lacking an
    // element the request scores before its weak families (a missing element scores best). False when the
    // request scores something before its families, or when a font outside them could still win.
    bool familyCandidates(FcConfig* config, FcPattern* request, const Request& shape, FcFontSet* sets[2],
                          std::vector<FcPattern*>& out);
    // Brings the index up to date with the configuration's sets; false when the shortcuts cannot be taken.
    bool current(FcConfig* config, FcFontSet* sets[2]);
    void rebuild(FcConfig* config, FcFontSet* sets[2]);
    void release();
    static void inFontconfigOrder(std::vector<Entry>& found, FcFontSet* sets[2],
                                  std::vector<FcPattern*>& out);

    const bool enabled_;
    std::atomic<std::uint64_t> shortcuts_{0};
    std::mutex mutex_;
    // The index describes exactly these fonts. It holds a reference on the configuration and on every font,
    // so none of them can be freed and another made at the same address while the index still names it:
    // comparing the sets' fonts with these tells whether anything was added, removed or rebuilt.
    FcConfig* config_ = nullptr;
    std::vector<FcPattern*> fonts_[2];
    bool usable_ = false;
    std::vector<Entry> byFile_;   // sorted by file hash, then set and index
    std::vector<Entry> fileless_; // in set and index order
    std::vector<Entry> byFamily_; // one a family name, sorted by the hash of its key, then set and index
    std::vector<Entry> familyless_, postscriptless_, langless_; // in set and index order
};

} // namespace quillon::platform
