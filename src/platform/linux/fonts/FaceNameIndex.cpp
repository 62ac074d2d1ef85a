#include "platform/linux/fonts/FaceNameIndex.h"

#include "platform/NativeText.h"
#include "platform/linux/freetype/FreeTypeFaceTraits.h"

#include <QFile>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string_view>

namespace quillon::platform {

namespace {

QString patternString(FcPattern* pattern, const char* object, int n)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

/// fontconfig drops a family name that equals a higher-ranked one (a typographic family) when blanks and
/// case are ignored, so families are looked up by that form and then compared exactly.
QString familyKeyOfLower(QString lower) { return lower.remove(QLatin1Char(' ')); }
QString familyKey(const QString& name) { return familyKeyOfLower(name.toLower()); }

std::u16string_view units(QStringView text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

/// How far a face is from what a request with weight 0 and no style asks for; lower is nearer.
double distanceFromRegular(const IndexedFace& f)
{
    return std::abs(f.weight - FC_WEIGHT_REGULAR) + (f.slant != FC_SLANT_ROMAN ? 1000 : 0) +
           std::abs(f.width - FC_WIDTH_NORMAL) * 2 + (f.variable ? 10000 : 0) + (f.sfnt ? 0 : 0.5);
}

const char* patternFile(FcPattern* pattern)
{
    FcChar8* file = nullptr;
    if (!pattern || FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch || !file) return "";
    return reinterpret_cast<const char*>(file);
}

} // namespace

FaceNameIndex::FaceNameIndex() = default;

FaceNameIndex::~FaceNameIndex()
{
    for (const IndexedFace& f : faces_) FcPatternDestroy(f.pattern);
    if (library_) FT_Done_FreeType(library_);
}

FT_Library FaceNameIndex::freetype()
{
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    return library_;
}

QString FaceNameIndex::file(int i) const { return fromNativeBytes(patternFile(face(i).pattern)); }

QString FaceNameIndex::style(int i) const { return patternString(face(i).pattern, FC_STYLE, 0); }

std::uint32_t FaceNameIndex::pool(QStringView text)
{
    const auto at = static_cast<std::uint32_t>(pool_.size());
    const std::u16string_view kept = units(text).substr(0, 0xFFFF);
    pool_.push_back(static_cast<char16_t>(kept.size()));
    pool_.insert(pool_.end(), kept.begin(), kept.end());
    return at;
}

void FaceNameIndex::poolLowered(const char* utf8)
{
    const std::size_t length = std::strlen(utf8);
    if (std::any_of(utf8, utf8 + length, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        pool(QString::fromUtf8(utf8, static_cast<qsizetype>(length)).toLower());
        return;
    }
    const std::size_t kept = std::min<std::size_t>(length, 0xFFFF);
    pool_.push_back(static_cast<char16_t>(kept));
    for (std::size_t i = 0; i < kept; ++i) {
        const char c = utf8[i];
        pool_.push_back(static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
}

QStringView FaceNameIndex::pooled(std::uint32_t at) const
{
    return QStringView(pool_.data() + at + 1, static_cast<qsizetype>(pool_[at]));
}

std::vector<QStringView> FaceNameIndex::names(int i, NameKind kind) const
{
    std::uint32_t at = face(i).names;
    const int families = pool_[at];
    const int fullNames = pool_[at + 1];
    at += 2;
    for (int k = 0; kind == FullNames && k < families; ++k) at += 1u + pool_[at];
    std::vector<QStringView> out;
    const int count = kind == Families ? families : fullNames;
    out.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        out.push_back(pooled(at));
        at += 1u + pool_[at];
    }
    return out;
}

std::vector<int> FaceNameIndex::facesKeyed(const std::vector<Key>& keys, QStringView name) const
{
    const std::u16string_view wanted = units(name);
    auto range = std::equal_range(keys.begin(), keys.end(), wanted, [this](const auto& x, const auto& y) {
        auto text = [this](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, Key>)
                return units(pooled(v.name));
            else
                return std::u16string_view(v);
        };
        return text(x) < text(y);
    });
    std::vector<int> out;
    for (auto it = range.first; it != range.second; ++it) out.push_back(it->face);
    return out;
}

void FaceNameIndex::sortKeys(std::vector<Key>& keys)
{
    auto less = [this](const Key& a, const Key& b) {
        const int order = units(pooled(a.name)).compare(units(pooled(b.name)));
        return order != 0 ? order < 0 : a.face < b.face;
    };
    std::sort(keys.begin(), keys.end(), less);
    keys.erase(std::unique(keys.begin(), keys.end(),
                           [this](const Key& a, const Key& b) {
                               return a.face == b.face && pooled(a.name) == pooled(b.name);
                           }),
               keys.end());
    keys.shrink_to_fit();
}

void FaceNameIndex::insertKey(std::vector<Key>& keys, Key key)
{
    auto it = std::lower_bound(keys.begin(), keys.end(), key, [this](const Key& a, const Key& b) {
        const int order = units(pooled(a.name)).compare(units(pooled(b.name)));
        return order != 0 ? order < 0 : a.face < b.face;
    });
    if (it != keys.end() && it->face == key.face && pooled(it->name) == pooled(key.name)) return;
    keys.insert(it, key);
}

void FaceNameIndex::build()
{
    if (built_) return;
    built_ = true;
    // The configuration Qt draws with, so the mapper and the screen agree on what is installed.
    FcConfig* config = FcConfigGetCurrent();
    FcFontSet* set = config ? FcConfigGetFonts(config, FcSetSystem) : nullptr;
    if (!set) {
        keysSorted_ = true; // fonts added later still go into their place
        return;
    }
    faces_.reserve(static_cast<std::size_t>(set->nfont));
    pool_.reserve(static_cast<std::size_t>(set->nfont) * 80);
    for (int i = 0; i < set->nfont; ++i) {
        // Held, so the pattern (and fontconfig's cache it lives in) outlasts a configuration Qt replaces.
        FcPatternReference(set->fonts[i]);
        addPattern(set->fonts[i], true);
        indexFace(static_cast<int>(faces_.size()) - 1);
    }
    sortKeys(byFamilyKey_);
    sortKeys(byFamily_);
    sortKeys(byFullName_);
    keysSorted_ = true;
    pool_.shrink_to_fit();
}

void FaceNameIndex::addPattern(FcPattern* pattern, bool named)
{
    IndexedFace face;
    face.pattern = pattern;
    FcPatternGetInteger(pattern, FC_INDEX, 0, &face.index);
    face.names = static_cast<std::uint32_t>(pool_.size());
    // The counts of family and full names, then the names themselves.
    pool_.push_back(0);
    pool_.push_back(0);
    const auto poolNames = [&](const char* object) {
        char16_t count = 0;
        FcChar8* value = nullptr;
        for (int n = 0;
             named && count < 0xFFFF && FcPatternGetString(pattern, object, n, &value) == FcResultMatch;
             ++n) {
            if (!value) continue;
            poolLowered(reinterpret_cast<const char*>(value));
            ++count;
        }
        return count;
    };
    pool_[face.names] = poolNames(FC_FAMILY);
    pool_[face.names + 1] = poolNames(FC_FULLNAME);
    FcPatternGetDouble(pattern, FC_WEIGHT, 0, &face.weight);
    int slant = 0;
    FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
    face.slant = static_cast<std::int16_t>(slant);
    FcPatternGetDouble(pattern, FC_WIDTH, 0, &face.width);
    FcBool variable = FcFalse;
    if (FcPatternGetBool(pattern, FC_VARIABLE, 0, &variable) == FcResultMatch) face.variable = variable;
    FcChar8* format = nullptr;
    if (FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) == FcResultMatch && format) {
        const QByteArray name(reinterpret_cast<const char*>(format));
        face.sfnt = name == "TrueType" || name == "CFF";
    }
    faces_.push_back(face);
    byFileCurrent_ = false;
}

void FaceNameIndex::indexFace(int i)
{
    // While the index is built the keys are gathered and sorted once at the end; later faces (added fonts)
    // go into their place.
    const bool sorted = keysSorted_;
    auto add = [&](std::vector<Key>& keys, std::uint32_t name) {
        if (sorted)
            insertKey(keys, Key{name, i});
        else
            keys.push_back(Key{name, i});
    };
    std::uint32_t at = face(i).names;
    const int families = pool_[at];
    const int fullNames = pool_[at + 1];
    at += 2;
    for (int k = 0; k < families + fullNames; ++k) {
        const QStringView name = pooled(at);
        if (k < families) {
            add(byFamily_, at);
            add(byFamilyKey_, name.contains(QLatin1Char(' ')) ? pool(familyKeyOfLower(name.toString())) : at);
        } else {
            add(byFullName_, at);
        }
        at += 1u + pool_[at];
    }
}

void FaceNameIndex::unindexFace(int i)
{
    auto drop = [this, i](std::vector<Key>& keys, QStringView name) {
        const std::u16string_view wanted = units(name);
        keys.erase(
            std::remove_if(keys.begin(), keys.end(),
                           [&](const Key& k) { return k.face == i && units(pooled(k.name)) == wanted; }),
            keys.end());
    };
    for (QStringView name : names(i, Families)) {
        drop(byFamily_, name);
        drop(byFamilyKey_, familyKeyOfLower(name.toString()));
    }
    for (QStringView name : names(i, FullNames)) drop(byFullName_, name);
}

std::vector<int> FaceNameIndex::ranked(const std::vector<int>& faces, const QString& lowerName) const
{
    std::vector<int> out;
    out.reserve(faces.size());
    for (int i : faces)
        if (face(i).live) out.push_back(i);
    if (out.size() < 2) return out;
    // Of faces equally near, one whose full name is the name asked for is the better match: two fonts
    // may claim one family (a font that carries its sibling's family name by mistake).
    const std::vector<int> fullyNamed =
        lowerName.isEmpty() ? std::vector<int>() : facesKeyed(byFullName_, lowerName);
    auto named = [&](int i) { return std::binary_search(fullyNamed.begin(), fullyNamed.end(), i); };
    std::stable_sort(out.begin(), out.end(), [&](int a, int b) {
        const double da = distanceFromRegular(face(a));
        const double db = distanceFromRegular(face(b));
        if (da != db) return da < db;
        return named(a) && !named(b);
    });
    // Of one face in two formats the sfnt file goes first: it is the one the fonts key lists, and the one
    // whose traits (outlines, device bit) the details describe.
    for (std::size_t k = 0; k < out.size(); ++k) {
        if (face(out[k]).sfnt) continue;
        for (std::size_t j = k + 1; j < out.size(); ++j) {
            if (face(out[j]).sfnt && sameFace(out[j], out[k])) {
                std::rotate(out.begin() + static_cast<std::ptrdiff_t>(k),
                            out.begin() + static_cast<std::ptrdiff_t>(j),
                            out.begin() + static_cast<std::ptrdiff_t>(j) + 1);
                break;
            }
        }
    }
    return out;
}

/// Whether two faces are one design in two files: the same family, style, weight and slant. A Type 1
/// file and the OpenType file of the same face differ in what fontconfig reads from them (a Type 1 font
/// states no width, so a narrow face looks normal-width there), and so in their distance.
bool FaceNameIndex::sameFace(int a, int b) const
{
    const IndexedFace& x = face(a);
    const IndexedFace& y = face(b);
    if (x.weight != y.weight || x.slant != y.slant) return false;
    const std::vector<QStringView> xf = names(a, Families);
    const std::vector<QStringView> yf = names(b, Families);
    return !xf.empty() && !yf.empty() && xf.front() == yf.front() &&
           style(a).compare(style(b), Qt::CaseInsensitive) == 0;
}

std::optional<int> FaceNameIndex::sfntTwin(int i) const
{
    if (face(i).sfnt) return std::nullopt;
    const std::vector<QStringView> families = names(i, Families);
    if (families.empty()) return std::nullopt;
    // A twin shares the first family, so it is among the faces of that name.
    for (int j : facesKeyed(byFamily_, families.front()))
        if (j != i && face(j).live && face(j).sfnt && sameFace(j, i)) return j;
    return std::nullopt;
}

bool FaceNameIndex::confirmFamily(int i, const QString& lowerName)
{
    const IndexedFace& f = face(i);
    // fontconfig's families of a face hold its name ID 1 texts, and add typographic (ID 16) and WWS (ID 21)
    // names where the font has them, dropping one that differs from another only in blanks or case. A face
    // with a single family name that is the one asked for, or without a name table, needs no look into its
    // file; a typographic family that differs from ID 1 in blanks alone is then taken for it.
    const std::vector<QStringView> families = names(i, Families);
    if (!f.sfnt) return std::find(families.begin(), families.end(), lowerName) != families.end();
    if (std::all_of(families.begin(), families.end(),
                    [&](QStringView family) { return family == lowerName; }))
        return true;
    auto it = familyNamesRead_.find(i);
    if (it == familyNamesRead_.end()) {
        QStringList names;
        const std::optional<FaceNames> read = readFaceNames(freetype(), file(i), f.index);
        if (read && read->sfnt && !read->familiesLower.isEmpty()) {
            names = read->familiesLower;
        } else {
            // Without a name table (bitmap and Type 1 fonts) fontconfig's families are all there is.
            for (QStringView family : families) names << family.toString();
        }
        if (read) englishFamily_.insert(i, read->family);
        it = familyNamesRead_.insert(i, names);
    }
    return it->contains(lowerName);
}

std::optional<FaceChoice> FaceNameIndex::find(const QString& name, int cutTo)
{
    build();
    if (name.isEmpty()) return std::nullopt;
    const QString lower = name.toLower();
    for (int i : ranked(facesKeyed(byFamilyKey_, familyKey(name)), lower))
        if (confirmFamily(i, lower)) return FaceChoice{i, NameMatch::Family};
    if (const std::vector<int> best = ranked(facesKeyed(byFullName_, lower)); !best.empty())
        return FaceChoice{best.front(), NameMatch::FullName};
    if (cutTo > 0 && name.size() == cutTo) {
        // The names that begin with the cut name sit together in the sorted keys, from the cut name on.
        const std::u16string_view prefix = units(lower);
        std::vector<int> begun;
        for (const std::vector<Key>* keys : {&byFamily_, &byFullName_}) {
            auto it = std::lower_bound(
                keys->begin(), keys->end(), prefix,
                [this](const Key& k, std::u16string_view p) { return units(pooled(k.name)) < p; });
            for (; it != keys->end() && units(pooled(it->name)).starts_with(prefix); ++it)
                begun.push_back(it->face);
        }
        // In face order, as a request without style ranks equally near faces by it.
        std::sort(begun.begin(), begun.end());
        begun.erase(std::unique(begun.begin(), begun.end()), begun.end());
        const std::vector<int> best = ranked(begun);
        if (!best.empty()) return FaceChoice{best.front(), NameMatch::Prefix};
    }
    return std::nullopt;
}

std::optional<FaceChoice> FaceNameIndex::substitute(const QString& name)
{
    build();
    const QString key = name.toLower();
    if (const auto known = substitutes_.constFind(key); known != substitutes_.constEnd()) return *known;
    FcConfig* config = FcConfigGetCurrent();
    FcPattern* request = FcPatternCreate();
    if (!config || !request) return std::nullopt;
    if (!name.isEmpty())
        FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.toUtf8().constData()));
    FcConfigSubstitute(config, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, request, &result);
    FcPatternDestroy(request);
    if (!match) return std::nullopt;
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    const std::string_view path = patternFile(match);
    if (!byFileCurrent_) {
        byFile_.resize(faces_.size());
        std::iota(byFile_.begin(), byFile_.end(), 0);
        std::vector<const char*> files(faces_.size());
        for (std::size_t i = 0; i < faces_.size(); ++i) files[i] = patternFile(faces_[i].pattern);
        std::sort(byFile_.begin(), byFile_.end(), [&](int a, int b) {
            const int order =
                std::strcmp(files[static_cast<std::size_t>(a)], files[static_cast<std::size_t>(b)]);
            if (order != 0) return order < 0;
            return face(a).index != face(b).index ? face(a).index < face(b).index : a < b;
        });
        byFileCurrent_ = true;
    }
    std::optional<FaceChoice> choice;
    auto at = std::lower_bound(
        byFile_.begin(), byFile_.end(), std::pair(path, index), [this](int i, const auto& wanted) {
            const std::string_view file = patternFile(face(i).pattern);
            return file != wanted.first ? file < wanted.first : face(i).index < wanted.second;
        });
    for (; at != byFile_.end() && patternFile(face(*at).pattern) == path && face(*at).index == index; ++at)
        if (face(*at).live) {
            choice = FaceChoice{*at, NameMatch::Substitute};
            break;
        }
    // fontconfig may pick the Type 1 file of a face that is installed as OpenType too; the sfnt file is
    // drawn and described instead, as among a name's own candidates.
    if (choice)
        if (const std::optional<int> twin = sfntTwin(choice->face)) choice->face = *twin;
    if (!choice && !path.empty()) {
        // Reachable as a substitute only, never by a name; the index keeps the pattern.
        addPattern(match, false);
        match = nullptr;
        choice = FaceChoice{static_cast<int>(faces_.size()) - 1, NameMatch::Substitute};
    }
    if (match) FcPatternDestroy(match);
    substitutes_.insert(key, choice);
    return choice;
}

QString FaceNameIndex::familyOf(int i)
{
    if (!englishFamily_.contains(i)) {
        const std::optional<FaceNames> read = readFaceNames(freetype(), file(i), face(i).index);
        englishFamily_.insert(i, read ? read->family : QString());
    }
    const QString family = englishFamily_.value(i);
    if (!family.isEmpty()) return family;
    return patternString(face(i).pattern, FC_FAMILY, 0);
}

ResolvedFace FaceNameIndex::resolved(int i)
{
    ResolvedFace out{file(i), face(i).index, familyOf(i), style(i), {}};
    // fontconfig pairs its first style name with its first family; name ID 1 may be another family.
    const QString first = patternString(face(i).pattern, FC_FAMILY, 0);
    if (first != out.family) out.styleFamily = first;
    return out;
}

int FaceNameIndex::learnFile(const QString& path, const QByteArray& data)
{
    build();
    auto it = learned_.find(path);
    if (it != learned_.end()) {
        ++it->count;
        return static_cast<int>(it->faces.size());
    }
    // Face by face, as Qt registers an application font, so the index and Qt's matcher see the same faces;
    // from the bytes already read, never from a mapping of the file.
    FT_Library library = freetype();
    if (!library || data.isEmpty()) return 0;
    const QByteArray file = nativeBytes(path);
    Learned learned{1, {}};
    long count = 1;
    // A collection's face count comes from the file; a lying one must not make this run for long.
    constexpr long kMostFaces = 4096;
    for (long id = 0; id < kMostFaces && id < count; ++id) {
        FT_Face ftFace = nullptr;
        if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data.constData()),
                               static_cast<FT_Long>(data.size()), id, &ftFace) != 0)
            break;
        if (id == 0) count = ftFace->num_faces;
        FcPattern* pattern = FcFreeTypeQueryFace(ftFace, reinterpret_cast<const FcChar8*>(file.constData()),
                                                 static_cast<unsigned int>(id), nullptr);
        FT_Done_Face(ftFace);
        if (!pattern) break;
        addPattern(pattern, true); // the index keeps the pattern
        learned.faces.push_back(static_cast<int>(faces_.size()) - 1);
        indexFace(learned.faces.back());
    }
    if (learned.faces.empty()) return 0;
    substitutes_.clear();
    const int faces = static_cast<int>(learned.faces.size());
    learned_.insert(path, std::move(learned));
    return faces;
}

void FaceNameIndex::rebuild()
{
    // The added files' faces keep their patterns (one more reference each) for the new index.
    std::vector<std::pair<QString, std::vector<FcPattern*>>> kept;
    for (auto it = learned_.begin(); it != learned_.end(); ++it) {
        std::vector<FcPattern*> patterns;
        for (int i : it->faces) {
            FcPatternReference(face(i).pattern);
            patterns.push_back(face(i).pattern);
        }
        kept.emplace_back(it.key(), std::move(patterns));
    }
    for (const IndexedFace& f : faces_) FcPatternDestroy(f.pattern);
    faces_.clear();
    pool_.clear();
    byFamilyKey_.clear();
    byFamily_.clear();
    byFullName_.clear();
    byFile_.clear();
    byFileCurrent_ = false;
    familyNamesRead_.clear();
    englishFamily_.clear();
    substitutes_.clear();
    keysSorted_ = false;
    built_ = false;
    build();
    for (auto& [path, patterns] : kept) {
        Learned& learned = learned_[path];
        learned.faces.clear();
        for (FcPattern* pattern : patterns) {
            addPattern(pattern, true);
            learned.faces.push_back(static_cast<int>(faces_.size()) - 1);
            indexFace(learned.faces.back());
        }
    }
}

bool FaceNameIndex::forgetFile(const QString& path)
{
    auto it = learned_.find(path);
    if (it == learned_.end()) return false;
    if (--it->count > 0) return true;
    for (int i : it->faces) {
        unindexFace(i);
        faces_[static_cast<std::size_t>(i)].live = false;
    }
    learned_.erase(it);
    substitutes_.clear();
    return true;
}

} // namespace quillon::platform
