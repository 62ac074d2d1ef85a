#include "platform/linux/fonts/FontMatchStandIn.h"

#include "platform/Log.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <iterator>
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

// Where fontconfig ranks each element of a request, read from its matcher (fcmatch.c, the priority list and
// the objects' comparisons) in the versions provenOn names. An element fontconfig does not compare is not
// scored at all. A request holding any element not listed here gets the full match.
enum class Rank {
    NotScored,         // rendering settings, names' languages, the face index: never compared
    File,              // ranked first of all
    BeforeFamily,      // format, foundry, character set: a font of another family may win on them
    BeforeFamilyYesNo, // variable, scalable, colour: yes or no, ranked before the family
    Family,
    PostScriptName, // a strongly bound one before the language, a weak one after the weak families
    Language,       // after the strongly bound family, before the weakly bound one
    AfterFamily,    // ranked after every family: cannot let a font of another family win
};

struct KnownElement {
    const char* object;
    Rank rank;
};

constexpr KnownElement kKnownElements[] = {
    {FC_FAMILY, Rank::Family},
    {FC_FAMILYLANG, Rank::NotScored},
    {FC_STYLE, Rank::AfterFamily},
    {FC_STYLELANG, Rank::NotScored},
    {FC_FULLNAME, Rank::NotScored},
    {FC_FULLNAMELANG, Rank::NotScored},
    {FC_SLANT, Rank::AfterFamily},
    {FC_WEIGHT, Rank::AfterFamily},
    {FC_WIDTH, Rank::AfterFamily},
    {FC_SIZE, Rank::AfterFamily},
    {FC_ASPECT, Rank::NotScored},
    {FC_PIXEL_SIZE, Rank::AfterFamily},
    {FC_SPACING, Rank::AfterFamily},
    {FC_FOUNDRY, Rank::BeforeFamily},
    {FC_ANTIALIAS, Rank::AfterFamily},
    {FC_HINT_STYLE, Rank::NotScored},
    {FC_HINTING, Rank::NotScored},
    {FC_VERTICAL_LAYOUT, Rank::NotScored},
    {FC_AUTOHINT, Rank::NotScored},
    {FC_GLOBAL_ADVANCE, Rank::NotScored},
    {FC_FILE, Rank::File},
    {FC_INDEX, Rank::NotScored},
    {FC_RASTERIZER, Rank::AfterFamily},
    {FC_OUTLINE, Rank::AfterFamily},
    {FC_SCALABLE, Rank::BeforeFamilyYesNo},
    {FC_DPI, Rank::NotScored},
    {FC_RGBA, Rank::NotScored},
    {FC_SCALE, Rank::NotScored},
    {FC_MINSPACE, Rank::NotScored},
    {FC_CHARWIDTH, Rank::NotScored},
    {FC_CHAR_HEIGHT, Rank::NotScored},
    {FC_MATRIX, Rank::NotScored},
    {FC_CHARSET, Rank::BeforeFamily},
    {FC_LANG, Rank::Language},
    {FC_FONTVERSION, Rank::AfterFamily},
    {FC_CAPABILITY, Rank::NotScored},
    {FC_FONTFORMAT, Rank::BeforeFamily},
    {FC_EMBOLDEN, Rank::NotScored},
    {FC_EMBEDDED_BITMAP, Rank::NotScored},
    {FC_DECORATIVE, Rank::AfterFamily},
    {FC_LCD_FILTER, Rank::NotScored},
    {FC_NAMELANG, Rank::NotScored},
    {FC_FONT_FEATURES, Rank::NotScored},
    {FC_PRGNAME, Rank::NotScored},
    {FC_HASH, Rank::NotScored},
    {FC_POSTSCRIPT_NAME, Rank::PostScriptName},
    {FC_COLOR, Rank::BeforeFamilyYesNo},
    {FC_SYMBOL, Rank::AfterFamily},
    {FC_FONT_VARIATIONS, Rank::NotScored},
    {FC_VARIABLE, Rank::BeforeFamilyYesNo},
    {FC_FONT_HAS_HINT, Rank::AfterFamily},
    {FC_ORDER, Rank::AfterFamily},
};

// fontconfig versions whose matcher ranks the elements as kKnownElements says (checked against its source
// and, request for request, against its FcFontMatch over every listed name of a machine's fonts).
constexpr int kProvenVersions[] = {21401};

const KnownElement* knownElement(const char* object)
{
    for (const KnownElement& known : kKnownElements)
        if (std::strcmp(known.object, object) == 0) return &known;
    return nullptr;
}

} // namespace

// What a request asks, as far as choosing the fonts that can win needs it.
struct FontMatchStandIn::Request {
    bool known = true;                                 // fontconfig's rank of every element is known
    bool beforeFamily = false;                         // an element a font of another family may win on
    std::vector<std::pair<const char*, FcBool>> yesNo; // yes-or-no elements ranked before the family
};

bool FontMatchStandIn::provenOn(int fontconfigVersion)
{
    return std::find(std::begin(kProvenVersions), std::end(kProvenVersions), fontconfigVersion) !=
           std::end(kProvenVersions);
}

FontMatchStandIn::FontMatchStandIn(bool enabled, int fontconfigVersion)
    : enabled_(enabled && provenOn(fontconfigVersion))
{
    if (!enabled)
        qCDebug(log::fonts) << "font match: fontconfig's own for every request (QUILLON_FONT_MATCH)";
    else if (!enabled_)
        qCDebug(log::fonts) << "font match: fontconfig" << fontconfigVersion
                            << "is not one the shortcuts were proven on; its own match for every request";
}

FontMatchStandIn::~FontMatchStandIn() { release(); }

void FontMatchStandIn::release()
{
    for (std::vector<FcPattern*>& set : fonts_) {
        for (FcPattern* font : set) FcPatternDestroy(font);
        set.clear();
    }
    if (config_) FcConfigDestroy(config_);
    config_ = nullptr;
}

void FontMatchStandIn::rebuild(FcConfig* config, FcFontSet* sets[2])
{
    release();
    config_ = FcConfigReference(config);
    byFile_.clear();
    fileless_.clear();
    byFamily_.clear();
    familyless_.clear();
    postscriptless_.clear();
    langless_.clear();
    usable_ = true;
    for (std::uint32_t set = 0; set < 2; ++set) {
        const int count = sets[set] ? sets[set]->nfont : 0;
        fonts_[set].reserve(count);
        for (int i = 0; i < count; ++i) {
            FcPattern* font = sets[set]->fonts[i];
            FcPatternReference(font);
            fonts_[set].push_back(font);
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

bool FontMatchStandIn::current(FcConfig* config, FcFontSet* sets[2])
{
    // Fonts come and go as application fonts are added and removed and as a new configuration is loaded;
    // the fonts the index holds cannot have been freed, so the same fonts at the same places mean the same
    // sets.
    bool same = config == config_;
    for (int set = 0; same && set < 2; ++set) {
        const int count = sets[set] ? sets[set]->nfont : 0;
        same = static_cast<std::size_t>(count) == fonts_[set].size() &&
               (count == 0 || std::equal(fonts_[set].begin(), fonts_[set].end(), sets[set]->fonts));
    }
    if (!same) rebuild(config, sets);
    return usable_;
}

bool FontMatchStandIn::candidates(FcConfig* config, const char* file, FcFontSet* sets[2],
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

void FontMatchStandIn::inFontconfigOrder(std::vector<Entry>& found, FcFontSet* sets[2],
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

bool FontMatchStandIn::familyCandidates(FcConfig* config, FcPattern* request, const Request& shape,
                                        FcFontSet* sets[2], std::vector<FcPattern*>& out)
{
    // fontconfig ranks fonts by the request's elements in a fixed order of priority, the first difference
    // deciding. With an element of the first kind before the family, a font of another family may win; a
    // yes-or-no one (fontconfig asks for "not variable" by default) does not keep a font of the request's
    // families from winning when that font scores best on it too.
    if (shape.beforeFamily) return false;
    FcValue value;
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
            if (!std::all_of(shape.yesNo.begin(), shape.yesNo.end(), [font](const auto& wanted) {
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

// How the request's elements rank; `known` false when one of them is not in kKnownElements.
FontMatchStandIn::Request FontMatchStandIn::shapeOf(FcPattern* request)
{
    Request shape;
    FcPatternIter it;
    FcPatternIterStart(request, &it);
    if (!FcPatternIterIsValid(request, &it)) return shape;
    do {
        const char* object = FcPatternIterGetObject(request, &it);
        const KnownElement* element = object ? knownElement(object) : nullptr;
        if (!element) {
            shape.known = false;
            return shape;
        }
        if (element->rank == Rank::BeforeFamily) shape.beforeFamily = true;
        if (element->rank == Rank::BeforeFamilyYesNo) {
            FcValue value;
            FcValueBinding binding;
            if (FcPatternIterGetValue(request, &it, 0, &value, &binding) != FcResultMatch ||
                value.type != FcTypeBool)
                shape.beforeFamily = true;
            else
                shape.yesNo.emplace_back(element->object, value.u.b);
        }
    } while (FcPatternIterNext(request, &it));
    return shape;
}

FcPattern* FontMatchStandIn::match(FcConfig* config, FcPattern* request, FcResult* result)
{
    *result = FcResultNoMatch;
    config = FcConfigReference(config);
    if (!config) return nullptr;
    FcFontSet* sets[2] = {FcConfigGetFonts(config, FcSetSystem), FcConfigGetFonts(config, FcSetApplication)};
    std::vector<FcPattern*> fonts;
    FcPattern* matched = nullptr;
    bool few = false;
    if (enabled_) {
        const Request shape = shapeOf(request);
        if (shape.known) {
            const char* file = requestedFile(request);
            few = file ? candidates(config, file, sets, fonts)
                       : familyCandidates(config, request, shape, sets, fonts);
        }
    }
    if (few) {
        shortcuts_.fetch_add(1, std::memory_order_relaxed);
        // A set of its own holding references, so the fonts outlive a configuration change meanwhile.
        FcFontSet* some = FcFontSetCreate();
        for (FcPattern* font : fonts) {
            FcPatternReference(font);
            if (!some || !FcFontSetAdd(some, font)) FcPatternDestroy(font);
        }
        if (some) {
            matched = FcFontSetMatch(config, &some, 1, request, result);
            FcFontSetDestroy(some);
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
