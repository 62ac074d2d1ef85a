#include "platform/linux/FontsByFile.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

namespace quillon::platform {

namespace {

std::uint64_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

bool before(const auto& a, const auto& b)
{
    return std::tie(a.hash, a.set, a.index) < std::tie(b.hash, b.set, b.index);
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

// fontconfig takes two family names as one when they are equal ignoring blanks and case (in its own case
// folding, which FcStrDowncase applies): such names have the same key. Nullopt when memory runs out.
std::optional<std::string> familyKey(const FcChar8* name)
{
    std::string key;
    const auto* end = name + std::strlen(reinterpret_cast<const char*>(name));
    if (std::all_of(name, end, [](FcChar8 c) { return c < 0x80; })) {
        for (const FcChar8* c = name; c != end; ++c)
            if (*c != ' ') key.push_back(static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c));
        return key;
    }
    FcChar8* folded = FcStrDowncase(name);
    if (!folded) return std::nullopt;
    for (const FcChar8* c = folded; *c; ++c)
        if (*c != ' ') key.push_back(static_cast<char>(*c));
    FcStrFree(folded);
    return key;
}

bool hasFamily(FcPattern* font, const std::string& key)
{
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n)
        if (familyKey(family) == key) return true;
    return false;
}

bool lacks(FcPattern* font, const char* object)
{
    FcValue value;
    return FcPatternGet(font, object, 0, &value) != FcResultMatch;
}

// Whether a font scores best on a yes-or-no element of a request: it lacks the element (which scores
// nothing), or its value is the one asked or "don't care", as fontconfig compares them.
bool scoresBest(FcPattern* font, const char* object, FcBool wanted)
{
    FcValue value;
    const FcResult got = FcPatternGet(font, object, 0, &value);
    if (got == FcResultNoMatch) return true;
    return got == FcResultMatch && value.type == FcTypeBool && (value.u.b ^ wanted) != 1;
}

} // namespace

void FontsByFile::rebuild(FcConfig* config, FcFontSet* sets[2])
{
    config_ = config;
    byFile_.clear();
    fileless_.clear();
    byFamily_.clear();
    familyless_.clear();
    postscriptless_.clear();
    langless_.clear();
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
            const Entry here{0, set, static_cast<std::uint32_t>(i)};
            if (n == 0) fileless_.push_back(here);
            FcChar8* family = nullptr;
            n = 0;
            while ((got = FcPatternGetString(font, FC_FAMILY, n, &family)) == FcResultMatch) {
                const std::optional<std::string> key = familyKey(family);
                if (!key) usable_ = false;
                byFamily_.push_back({key ? hashOf(*key) : 0, set, here.index});
                ++n;
            }
            if (got == FcResultTypeMismatch) usable_ = false;
            if (n == 0) familyless_.push_back(here);
            if (lacks(font, FC_POSTSCRIPT_NAME)) postscriptless_.push_back(here);
            if (lacks(font, FC_LANG)) langless_.push_back(here);
        }
    }
    const auto order = [](const Entry& a, const Entry& b) { return before(a, b); };
    std::sort(byFile_.begin(), byFile_.end(), order);
    std::sort(byFamily_.begin(), byFamily_.end(), order);
}

bool FontsByFile::current(FcConfig* config, FcFontSet* sets[2])
{
    // The application's set grows as files are added, and a new configuration brings new sets.
    if (config != config_ || sets[0] != sets_[0] || sets[1] != sets_[1] ||
        (sets[0] ? sets[0]->nfont : 0) != counts_[0] || (sets[1] ? sets[1]->nfont : 0) != counts_[1])
        rebuild(config, sets);
    return usable_;
}

bool FontsByFile::candidates(FcConfig* config, const char* file, FcFontSet* sets[2],
                             std::vector<FcPattern*>& out)
{
    const std::lock_guard lock(mutex_);
    if (!current(config, sets)) return false;
    std::vector<Entry> found;
    const Entry key{hashOf(file), 0, 0};
    for (auto at = std::lower_bound(byFile_.begin(), byFile_.end(), key,
                                    [](const Entry&a, const Entry&b) { return a.hash < b.hash; });
         at != byFile_.end() && at->hash == key.hash; ++at) {
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
    inFontconfigOrder(found, sets, out);
    return true;
}

void FontsByFile::inFontconfigOrder(std::vector<Entry>& found, FcFontSet* sets[2],
                                    std::vector<FcPattern*>& out)
{
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.set, a.index) < std::tie(b.set, b.index);
    });
    found.erase(
        std::unique(found.begin(), found.end(),
                    [](const Entry& a, const Entry& b) { return a.set == b.set && a.index == b.index; }),
        found.end());
    for (const Entry& entry : found) out.push_back(sets[entry.set]->fonts[entry.index]);
}

bool FontsByFile::familyCandidates(FcConfig* config, FcPattern* request, FcFontSet* sets[2],
                                   std::vector<FcPattern*>& out)
{
    // fontconfig ranks fonts by the request's elements in a fixed order of priority, the first difference
    // deciding. These come before the family: with one of the first kind in the request a font of another
    // family may win; a yes-or-no one of the second kind (fontconfig asks for "not variable" by default)
    // does not keep a font of the request's families from winning when that font scores best on it too.
    static const char* const kScoredFirst[] = {FC_FILE,    "fontwrapper", FC_FONTFORMAT,
                                               FC_FOUNDRY, FC_CHARSET,    "genericfamily"};
    static const char* const kScoredFirstYesNo[] = {FC_VARIABLE, "namedinstance", FC_SCALABLE, FC_COLOR};
    FcValue value;
    for (const char* object : kScoredFirst)
        if (FcPatternGet(request, object, 0, &value) == FcResultMatch) return false;
    std::vector<std::pair<const char*, FcBool>> yesNo;
    for (const char* object : kScoredFirstYesNo) {
        if (FcPatternGet(request, object, 0, &value) != FcResultMatch) continue;
        if (value.type != FcTypeBool) return false;
        yesNo.emplace_back(object, value.u.b);
    }
    std::vector<std::pair<std::string, bool>> families; // key, bound strongly
    FcValueBinding binding = FcValueBindingWeak;
    for (int n = 0; FcPatternGetWithBinding(request, FC_FAMILY, n, &value, &binding) == FcResultMatch; ++n) {
        if (value.type != FcTypeString) return false;
        std::optional<std::string> key = familyKey(value.u.s);
        if (!key) return false;
        families.emplace_back(std::move(*key), binding != FcValueBindingWeak);
    }
    if (families.empty()) return false;
    // Then come a strongly bound PostScript name and the language, both before the weakly bound families.
    bool postscript = false;
    for (int n = 0;
         FcPatternGetWithBinding(request, FC_POSTSCRIPT_NAME, n, &value, &binding) == FcResultMatch; ++n) {
        if (binding != FcValueBindingWeak) return false;
        postscript = true;
    }
    const FcChar8* language = nullptr;
    if (FcPatternGet(request, FC_LANG, 0, &value) == FcResultMatch) {
        if (value.type != FcTypeString) return false;
        language = value.u.s;
    }

    const std::lock_guard lock(mutex_);
    if (!current(config, sets)) return false;
    // A font with none of the families scores worst on both family ranks. One with a family bound strongly
    // beats it on the first; one with a family bound weakly beats it when it has the request's first
    // language (the best language score there is), since the PostScript name between is weakly bound; each
    // only when it also scores best on the yes-or-no elements before. Fonts that lack the family, the
    // PostScript name or the languages score best on that element and must compete.
    std::vector<Entry> found;
    bool outranked = false;
    for (const auto& [key, strong] : families) {
        const std::uint64_t hash = hashOf(key);
        for (auto at = std::lower_bound(byFamily_.begin(), byFamily_.end(), hash,
                                        [](const Entry&e, std::uint64_t h) { return e.hash < h; });
             at != byFamily_.end() && at->hash == hash; ++at) {
            found.push_back(*at);
            if (outranked) continue;
            FcPattern* font = sets[at->set]->fonts[at->index];
            if (!hasFamily(font, key)) continue; // another name of the same hash
            if (!std::all_of(yesNo.begin(), yesNo.end(), [font](const auto& wanted) {
                    return scoresBest(font, wanted.first, wanted.second);
                }))
                continue;
            FcLangSet* languages = nullptr;
            const FcResult got =
                language ? FcPatternGetLangSet(font, FC_LANG, 0, &languages) : FcResultNoMatch;
            outranked = strong || got == FcResultNoMatch ||
                        (got == FcResultMatch && FcLangSetHasLang(languages, language) == FcLangEqual);
        }
    }
    if (!outranked) return false;
    found.insert(found.end(), familyless_.begin(), familyless_.end());
    if (postscript) found.insert(found.end(), postscriptless_.begin(), postscriptless_.end());
    if (language) found.insert(found.end(), langless_.begin(), langless_.end());
    inFontconfigOrder(found, sets, out);
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
    if (file ? candidates(config, file, sets, fonts) : familyCandidates(config, request, sets, fonts)) {
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
