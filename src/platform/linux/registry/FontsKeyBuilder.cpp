#include "platform/linux/registry/FontsKeyBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <unordered_set>

namespace quillon::platform {

namespace {

enum class Kind { Outline, WindowsFnt, XBitmap, Unlisted };

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// Registry value names compare ignoring ASCII case.
struct NameHash {
    std::size_t operator()(std::string_view s) const
    {
        std::size_t h = 1469598103934665603ull;
        for (char c : s) h = (h ^ static_cast<unsigned char>(lowerAscii(c))) * 1099511628211ull;
        return h;
    }
};
struct NameEqual {
    bool operator()(std::string_view a, std::string_view b) const
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return lowerAscii(x) == lowerAscii(y);
               });
    }
};

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && NameEqual{}(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view fileNameOf(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

/// The file name without folder, compression suffix and extension: "6x13B.pcf.gz" gives "6x13B".
std::string_view stemOf(std::string_view path)
{
    std::string_view name = fileNameOf(path);
    for (std::string_view suffix : {".gz", ".z", ".bz2"})
        if (endsWithIgnoringCase(name, suffix)) {
            name.remove_suffix(suffix.size());
            break;
        }
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return name.empty() ? fileNameOf(path) : name;
}

Kind kindOf(const InstalledFace& face)
{
    if (face.format == "TrueType") return Kind::Outline;
    // A bare CFF file (not wrapped in an sfnt) is not an OpenType font.
    if ((face.format == "CFF" || face.format == "CFF2") && !endsWithIgnoringCase(face.file, ".cff"))
        return Kind::Outline;
    if (face.format == "Windows FNT") return Kind::WindowsFnt;
    if (face.format == "PCF" || face.format == "BDF") return Kind::XBitmap;
    return Kind::Unlisted;
}

int faceNumber(const InstalledFace& face) { return face.index & 0xFFFF; }
int instanceOf(const InstalledFace& face) { return (face.index >> 16) & 0xFFFF; }

/// Instance 0 is the face itself and 0x8000 fontconfig's entry for a variable font as a whole; the
/// numbers between are named instances, which Windows does not list as fonts of their own.
bool isNamedInstance(const InstalledFace& face)
{
    const int instance = instanceOf(face);
    return instance != 0 && instance != 0x8000;
}

/// Cuts text to at most limit bytes without splitting a UTF-8 sequence.
void cutUtf8(std::string& text, std::size_t limit)
{
    if (text.size() <= limit) return;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
}

std::string joinSizes(const std::set<int>& sizes)
{
    std::string text;
    for (int size : sizes) {
        if (!text.empty()) text += ',';
        text += std::to_string(size);
    }
    return text;
}

std::string_view displayName(const InstalledFace& face)
{
    if (!face.fullName.empty()) return face.fullName;
    if (!face.family.empty()) return face.family;
    return stemOf(face.file);
}

/// Full names joined by " & " for a collection; faces whose names would push the value past the limit
/// are left out (the first face's name always stays, cut if it must be).
std::string outlineName(const InstalledFace* const* faces, std::size_t count)
{
    const std::string_view suffix = faces[0]->format == "TrueType" ? " (TrueType)" : " (OpenType)";
    const std::size_t room = kMaxFontsKeyName - 1 - suffix.size();
    std::string names(displayName(*faces[0]));
    cutUtf8(names, room);
    for (std::size_t i = 1; i < count; ++i) {
        const std::string_view next = displayName(*faces[i]);
        if (names.size() + 3 + next.size() > room) break;
        names.append(" & ").append(next);
    }
    return names.append(suffix);
}

std::string_view familyOrStem(const InstalledFace& face)
{
    return face.family.empty() ? stemOf(face.file) : face.family;
}

std::string withSizes(std::string_view family, const std::set<int>& sizes)
{
    std::string text(family);
    if (!sizes.empty()) text.append(" ").append(joinSizes(sizes));
    return text;
}

} // namespace

int bitmapPointSize(double pixelSize)
{
    if (!(pixelSize > 0) || pixelSize > 100000) return 0;
    return static_cast<int>(std::lround(pixelSize * 72.0 / 96.0));
}

std::vector<FontsKeyEntry> buildFontsKey(const std::vector<InstalledFace>& all)
{
    std::vector<Kind> kinds(all.size());
    std::vector<const InstalledFace*> faces;
    faces.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        kinds[i] = kindOf(all[i]);
        if (!isNamedInstance(all[i]) && kinds[i] != Kind::Unlisted) faces.push_back(&all[i]);
    }
    const auto kind = [&](const InstalledFace* face) {
        return kinds[static_cast<std::size_t>(face - all.data())];
    };
    std::sort(faces.begin(), faces.end(), [](const InstalledFace* a, const InstalledFace* b) {
        return std::make_tuple(a->dirRank, a->file, faceNumber(*a), instanceOf(*a)) <
               std::make_tuple(b->dirRank, b->file, faceNumber(*b), instanceOf(*b));
    });
    // A variable font appears as its default face and as the variable whole: one face either way.
    faces.erase(std::unique(faces.begin(), faces.end(),
                            [](const InstalledFace* a, const InstalledFace* b) {
                                return a->file == b->file && faceNumber(*a) == faceNumber(*b);
                            }),
                faces.end());

    // The sizes of each PCF/BDF family and style, gathered across all of its files.
    std::map<std::pair<std::string_view, std::string_view>, std::set<int>> groupSizes;
    for (const InstalledFace* face : faces)
        if (kind(face) == Kind::XBitmap)
            if (const int points = bitmapPointSize(face->pixelSize))
                groupSizes[{familyOrStem(*face), face->style}].insert(points);

    std::vector<FontsKeyEntry> entries;
    entries.reserve(faces.size()); // never reallocated: names below views into the entries' names
    std::unordered_set<std::string_view, NameHash, NameEqual> names;
    names.reserve(faces.size());
    for (std::size_t first = 0; first < faces.size();) {
        std::size_t end = first + 1;
        while (end < faces.size() && faces[end]->file == faces[first]->file) ++end;
        const InstalledFace& face = *faces[first];
        const InstalledFace* const* fileFaces = &faces[first];
        const std::size_t count = end - first;
        first = end;

        std::string name;
        switch (kind(&face)) {
        case Kind::Outline:
            name = outlineName(fileFaces, count);
            break;
        case Kind::WindowsFnt:
            if (!face.description.empty()) {
                name = face.description;
            } else {
                std::set<int> sizes;
                for (std::size_t i = 0; i < count; ++i)
                    if (const int points = bitmapPointSize(fileFaces[i]->pixelSize)) sizes.insert(points);
                name = withSizes(familyOrStem(face), sizes);
            }
            break;
        case Kind::XBitmap:
            name = withSizes(familyOrStem(face), groupSizes[{familyOrStem(face), face.style}]);
            name.append(" (").append(stemOf(face.file)).append(")");
            break;
        case Kind::Unlisted:
            continue;
        }
        cutUtf8(name, kMaxFontsKeyName - 1);
        if (name.empty() || names.count(name)) continue;
        entries.push_back({std::move(name), std::string(face.file)});
        names.insert(entries.back().name);
    }
    return entries;
}

} // namespace quillon::platform
