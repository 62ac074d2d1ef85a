#include "platform/linux/FaceIndex.h"

#include "platform/NativeText.h"
#include "platform/linux/FontSystemTraits.h"

#include <QFile>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <cmath>

namespace quillon::platform {

namespace {

QString patternString(FcPattern* pattern, const char* object, int n)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

QStringList patternStrings(FcPattern* pattern, const char* object)
{
    QStringList out;
    FcChar8* value = nullptr;
    for (int n = 0; FcPatternGetString(pattern, object, n, &value) == FcResultMatch; ++n)
        if (value) out << QString::fromUtf8(reinterpret_cast<const char*>(value));
    return out;
}

QStringList lowered(const QStringList& names)
{
    QStringList out;
    out.reserve(names.size());
    for (const QString& name : names) out << name.toLower();
    return out;
}

/// fontconfig drops a family name that equals a higher-ranked one (a typographic family) when blanks and
/// case are ignored, so families are looked up by that form and then compared exactly.
QString familyKeyOfLower(QString lower) { return lower.remove(QLatin1Char(' ')); }
QString familyKey(const QString& name) { return familyKeyOfLower(name.toLower()); }

/// How far a face is from what a request with weight 0 and no style asks for; lower is nearer.
double distanceFromRegular(const IndexedFace& f)
{
    return std::abs(f.weight - FC_WEIGHT_REGULAR) + (f.slant != FC_SLANT_ROMAN ? 1000 : 0) +
           std::abs(f.width - FC_WIDTH_NORMAL) * 2 + (f.variable ? 10000 : 0) + (f.sfnt ? 0 : 0.5);
}

/// Whether two faces are one design in two files: the same family, style, weight and slant. A Type 1
/// file and the OpenType file of the same face differ in what fontconfig reads from them (a Type 1 font
/// states no width, so a narrow face looks normal-width there), and so in their distance.
bool sameFace(const IndexedFace& a, const IndexedFace& b)
{
    return a.weight == b.weight && a.slant == b.slant && a.style.compare(b.style, Qt::CaseInsensitive) == 0 &&
           !a.familiesLower.isEmpty() && !b.familiesLower.isEmpty() &&
           a.familiesLower.front() == b.familiesLower.front();
}

} // namespace

FaceIndex::FaceIndex() = default;

FaceIndex::~FaceIndex()
{
    if (library_) FT_Done_FreeType(library_);
}

FT_Library FaceIndex::freetype()
{
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    return library_;
}

void FaceIndex::build()
{
    if (built_) return;
    built_ = true;
    // The configuration Qt draws with, so the mapper and the screen agree on what is installed.
    FcConfig* config = FcConfigGetCurrent();
    FcFontSet* set = config ? FcConfigGetFonts(config, FcSetSystem) : nullptr;
    if (!set) return;
    faces_.reserve(static_cast<std::size_t>(set->nfont));
    for (int i = 0; i < set->nfont; ++i) {
        addPattern(set->fonts[i]);
        indexFace(static_cast<int>(faces_.size()) - 1);
    }
}

void FaceIndex::addPattern(void* p)
{
    auto* pattern = static_cast<FcPattern*>(p);
    IndexedFace face;
    FcChar8* file = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) == FcResultMatch && file)
        face.file = fromNativeBytes(reinterpret_cast<const char*>(file));
    FcPatternGetInteger(pattern, FC_INDEX, 0, &face.index);
    face.families = patternStrings(pattern, FC_FAMILY);
    face.familiesLower = lowered(face.families);
    face.fullNamesLower = lowered(patternStrings(pattern, FC_FULLNAME));
    face.style = patternString(pattern, FC_STYLE, 0);
    FcPatternGetDouble(pattern, FC_WEIGHT, 0, &face.weight);
    FcPatternGetInteger(pattern, FC_SLANT, 0, &face.slant);
    FcPatternGetDouble(pattern, FC_WIDTH, 0, &face.width);
    FcBool variable = FcFalse;
    if (FcPatternGetBool(pattern, FC_VARIABLE, 0, &variable) == FcResultMatch) face.variable = variable;
    FcChar8* format = nullptr;
    if (FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) == FcResultMatch && format) {
        const QByteArray name(reinterpret_cast<const char*>(format));
        face.sfnt = name == "TrueType" || name == "CFF";
    }
    faces_.push_back(std::move(face));
}

void FaceIndex::indexFace(int i)
{
    const IndexedFace& f = face(i);
    for (const QString& name : f.familiesLower) {
        auto& list = byFamily_[familyKeyOfLower(name)];
        if (list.empty() || list.back() != i) list.push_back(i);
    }
    for (const QString& name : f.fullNamesLower) {
        auto& list = byFullName_[name];
        if (list.empty() || list.back() != i) list.push_back(i);
    }
}

void FaceIndex::unindexFace(int i)
{
    auto drop = [i](QHash<QString, std::vector<int>>& map, const QStringList& names, auto key) {
        for (const QString& name : names) {
            auto it = map.find(key(name));
            if (it == map.end()) continue;
            std::erase(*it, i);
            if (it->empty()) map.erase(it);
        }
    };
    drop(byFamily_, face(i).familiesLower, familyKeyOfLower);
    drop(byFullName_, face(i).fullNamesLower, [](const QString& name) { return name; });
}

std::vector<int> FaceIndex::ranked(const std::vector<int>& faces, const QString& lowerName) const
{
    std::vector<int> out;
    out.reserve(faces.size());
    for (int i : faces)
        if (face(i).live) out.push_back(i);
    if (out.size() < 2) return out;
    // Of faces equally near, one whose full name is the name asked for is the better match: two fonts
    // may claim one family (a font that carries its sibling's family name by mistake).
    auto named = [&](int i) { return !lowerName.isEmpty() && face(i).fullNamesLower.contains(lowerName); };
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
            if (face(out[j]).sfnt && sameFace(face(out[j]), face(out[k]))) {
                std::rotate(out.begin() + static_cast<std::ptrdiff_t>(k), out.begin() + static_cast<std::ptrdiff_t>(j),
                            out.begin() + static_cast<std::ptrdiff_t>(j) + 1);
                break;
            }
        }
    }
    return out;
}

std::optional<int> FaceIndex::sfntTwin(int i) const
{
    if (face(i).sfnt) return std::nullopt;
    for (int j = 0; j < static_cast<int>(faces_.size()); ++j)
        if (j != i && face(j).live && face(j).sfnt && sameFace(face(j), face(i))) return j;
    return std::nullopt;
}

bool FaceIndex::confirmFamily(int i, const QString& lowerName)
{
    const IndexedFace& f = face(i);
    // fontconfig's families of a face hold its name ID 1 texts, and add typographic (ID 16) and WWS (ID 21)
    // names where the font has them, dropping one that differs from another only in blanks or case. A face
    // with a single family name that is the one asked for, or without a name table, needs no look into its
    // file; a typographic family that differs from ID 1 in blanks alone is then taken for it.
    if (!f.sfnt) return f.familiesLower.contains(lowerName);
    if (std::all_of(f.familiesLower.begin(), f.familiesLower.end(),
                    [&](const QString& family) { return family == lowerName; }))
        return true;
    auto it = familyNamesRead_.find(i);
    if (it == familyNamesRead_.end()) {
        QStringList names;
        const std::optional<FaceNames> read = readFaceNames(freetype(), f.file, f.index);
        if (read && read->sfnt && !read->familiesLower.isEmpty()) {
            names = read->familiesLower;
        } else {
            // Without a name table (bitmap and Type 1 fonts) fontconfig's families are all there is.
            names = f.familiesLower;
        }
        if (read) englishFamily_.insert(i, read->family);
        it = familyNamesRead_.insert(i, names);
    }
    return it->contains(lowerName);
}

std::optional<FaceChoice> FaceIndex::find(const QString& name, int cutTo)
{
    build();
    if (name.isEmpty()) return std::nullopt;
    const QString lower = name.toLower();
    if (const auto family = byFamily_.constFind(familyKey(name)); family != byFamily_.constEnd())
        for (int i : ranked(*family, lower))
            if (confirmFamily(i, lower)) return FaceChoice{i, NameMatch::Family};
    if (const auto full = byFullName_.constFind(lower); full != byFullName_.constEnd()) {
        const std::vector<int> best = ranked(*full);
        if (!best.empty()) return FaceChoice{best.front(), NameMatch::FullName};
    }
    if (cutTo > 0 && name.size() == cutTo) {
        std::vector<int> begun;
        for (int i = 0; i < static_cast<int>(faces_.size()); ++i) {
            const IndexedFace& f = face(i);
            auto begins = [&](const QStringList& names) {
                return std::any_of(names.begin(), names.end(),
                                   [&](const QString& n) { return n.startsWith(lower); });
            };
            if (f.live && (begins(f.familiesLower) || begins(f.fullNamesLower))) begun.push_back(i);
        }
        const std::vector<int> best = ranked(begun);
        if (!best.empty()) return FaceChoice{best.front(), NameMatch::Prefix};
    }
    return std::nullopt;
}

std::optional<FaceChoice> FaceIndex::substitute(const QString& name)
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
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    const QString path = file ? fromNativeBytes(reinterpret_cast<const char*>(file)) : QString();
    std::optional<FaceChoice> choice;
    for (int i = 0; i < static_cast<int>(faces_.size()) && !choice; ++i)
        if (face(i).live && face(i).index == index && face(i).file == path)
            choice = FaceChoice{i, NameMatch::Substitute};
    // fontconfig may pick the Type 1 file of a face that is installed as OpenType too; the sfnt file is
    // drawn and described instead, as among a name's own candidates.
    if (choice)
        if (const std::optional<int> twin = sfntTwin(choice->face)) choice->face = *twin;
    if (!choice && !path.isEmpty()) {
        addPattern(match);
        // Reachable as a substitute only, never by a name.
        faces_.back().familiesLower.clear();
        faces_.back().fullNamesLower.clear();
        choice = FaceChoice{static_cast<int>(faces_.size()) - 1, NameMatch::Substitute};
    }
    FcPatternDestroy(match);
    substitutes_.insert(key, choice);
    return choice;
}

QString FaceIndex::familyOf(int i)
{
    if (!englishFamily_.contains(i)) {
        const std::optional<FaceNames> read = readFaceNames(freetype(), face(i).file, face(i).index);
        englishFamily_.insert(i, read ? read->family : QString());
    }
    const QString family = englishFamily_.value(i);
    if (!family.isEmpty()) return family;
    return face(i).families.value(0);
}

ResolvedFace FaceIndex::resolved(int i)
{
    ResolvedFace out{face(i).file, face(i).index, familyOf(i), face(i).style, {}};
    // fontconfig pairs its first style name with its first family; name ID 1 may be another family.
    const QString first = face(i).families.value(0);
    if (first != out.family) out.styleFamily = first;
    return out;
}

int FaceIndex::learnFile(const QString& path, const QByteArray& data)
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
        addPattern(pattern);
        FcPatternDestroy(pattern);
        learned.faces.push_back(static_cast<int>(faces_.size()) - 1);
        indexFace(learned.faces.back());
    }
    if (learned.faces.empty()) return 0;
    substitutes_.clear();
    const int faces = static_cast<int>(learned.faces.size());
    learned_.insert(path, std::move(learned));
    return faces;
}

bool FaceIndex::forgetFile(const QString& path)
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
