#include "platform/linux/FontsByFile.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>

namespace quillon::platform {

namespace {

std::uint64_t hashOf(const char* file) { return std::hash<std::string_view>{}(std::string_view(file)); }

bool before(const auto& a, const auto& b)
{
    return std::tie(a.fileHash, a.set, a.index) < std::tie(b.fileHash, b.set, b.index);
}

// The request's one file, or null when it names none or several (then the full match decides).
const char* requestedFile(FcPattern* request)
{
    FcChar8* file = nullptr;
    FcValue second;
    if (FcPatternGetString(request, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
    if (FcPatternGet(request, FC_FILE, 1, &second) != FcResultNoId) return nullptr;
    return reinterpret_cast<const char*>(file);
}

} // namespace

void FontsByFile::rebuild(FcConfig* config, FcFontSet* sets[2])
{
    config_ = config;
    byFile_.clear();
    fileless_.clear();
    usable_ = true;
    for (std::uint32_t set = 0; set < 2; ++set) {
        sets_[set] = sets[set];
        counts_[set] = sets[set] ? sets[set]->nfont : 0;
        for (int i = 0; i < counts_[set]; ++i) {
            FcPattern* font = sets[set]->fonts[i];
            FcChar8* file = nullptr;
            int n = 0;
            FcResult got;
            while ((got = FcPatternGetString(font, FC_FILE, n, &file)) == FcResultMatch) {
                byFile_.push_back(
                    {hashOf(reinterpret_cast<const char*>(file)), set, static_cast<std::uint32_t>(i)});
                ++n;
            }
            // A file that is not text makes fontconfig's own match fail; only the full match says how.
            if (got == FcResultTypeMismatch) usable_ = false;
            if (n == 0) fileless_.push_back({0, set, static_cast<std::uint32_t>(i)});
        }
    }
    std::sort(byFile_.begin(), byFile_.end(), [](const Entry& a, const Entry& b) { return before(a, b); });
}

bool FontsByFile::candidates(FcConfig* config, const char* file, FcFontSet* sets[2],
                             std::vector<FcPattern*>& out)
{
    const std::lock_guard lock(mutex_);
    // The application's set grows as files are added, and a new configuration brings new sets.
    if (config != config_ || sets[0] != sets_[0] || sets[1] != sets_[1] ||
        (sets[0] ? sets[0]->nfont : 0) != counts_[0] || (sets[1] ? sets[1]->nfont : 0) != counts_[1])
        rebuild(config, sets);
    if (!usable_) return false;
    std::vector<Entry> found;
    const Entry key{hashOf(file), 0, 0};
    for (auto at = std::lower_bound(byFile_.begin(), byFile_.end(), key,
                                    [](const Entry&a, const Entry&b) { return a.fileHash < b.fileHash; });
         at != byFile_.end() && at->fileHash == key.fileHash; ++at) {
        FcPattern* font = sets[at->set]->fonts[at->index];
        FcChar8* its = nullptr;
        for (int n = 0; FcPatternGetString(font, FC_FILE, n, &its) == FcResultMatch; ++n) {
            if (std::strcmp(reinterpret_cast<const char*>(its), file) == 0) {
                found.push_back(*at);
                break;
            }
        }
    }
    if (found.empty()) return false; // not installed: the full match finds the nearest font
    found.insert(found.end(), fileless_.begin(), fileless_.end());
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.set, a.index) < std::tie(b.set, b.index);
    });
    found.erase(
        std::unique(found.begin(), found.end(),
                    [](const Entry& a, const Entry& b) { return a.set == b.set && a.index == b.index; }),
        found.end());
    for (const Entry& entry : found) out.push_back(sets[entry.set]->fonts[entry.index]);
    return true;
}

FcPattern* FontsByFile::match(FcConfig* config, FcPattern* request, FcResult* result)
{
    *result = FcResultNoMatch;
    config = FcConfigReference(config);
    if (!config) return nullptr;
    FcFontSet* sets[2] = {FcConfigGetFonts(config, FcSetSystem), FcConfigGetFonts(config, FcSetApplication)};
    std::vector<FcPattern*> fonts;
    FcPattern* matched = nullptr;
    const char* file = requestedFile(request);
    if (file && candidates(config, file, sets, fonts)) {
        // A set of its own holding references, so the fonts outlive a configuration change meanwhile.
        FcFontSet* few = FcFontSetCreate();
        for (FcPattern* font : fonts) {
            FcPatternReference(font);
            if (!few || !FcFontSetAdd(few, font)) FcPatternDestroy(font);
        }
        if (few) {
            matched = FcFontSetMatch(config, &few, 1, request, result);
            FcFontSetDestroy(few);
        }
    } else {
        FcFontSet* all[2];
        int count = 0;
        for (FcFontSet* set : sets)
            if (set) all[count++] = set;
        matched = FcFontSetMatch(config, all, count, request, result);
    }
    FcConfigDestroy(config);
    return matched;
}

} // namespace quillon::platform
