#include "platform/linux/FontsKeyBuilder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <unordered_set>

namespace quillon::platform {

namespace {

enum class Kind { Outline, WindowsFnt, XBitmap, Unlisted };

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && lowerAscii(text.substr(text.size() - suffix.size())) == suffix;
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The file name without folder, compression suffix and font extension: "6x13B.pcf.gz" gives "6x13B".
std::string stemOf(const std::string& path)
{
    std::string name = fileNameOf(path);
    for (const char* suffix : {".gz", ".z", ".bz2"})
        if (endsWithIgnoringCase(name, suffix)) {
            name.resize(name.size() - std::char_traits<char>::length(suffix));
            break;
        }
    for (const char* suffix : {".pcf", ".bdf", ".fon", ".fnt"})
        if (endsWithIgnoringCase(name, suffix)) {
            name.resize(name.size() - std::char_traits<char>::length(suffix));
            break;
        }
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
std::string cutUtf8(std::string text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
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

std::string displayName(const InstalledFace& face)
{
    if (!face.fullName.empty()) return face.fullName;
    if (!face.family.empty()) return face.family;
    return stemOf(face.file);
}

/// Full names joined by " & " for a collection; faces whose names would push the value past the limit
/// are left out (the first face's name always stays, cut if it must be).
std::string outlineName(const std::vector<const InstalledFace*>& faces)
{
    const bool cff = faces.front()->format != "TrueType";
    const std::string suffix = cff ? " (OpenType)" : " (TrueType)";
    const std::size_t room = kMaxFontsKeyName - 1 - suffix.size();
    std::string names = cutUtf8(displayName(*faces.front()), room);
    for (std::size_t i = 1; i < faces.size(); ++i) {
        const std::string next = " & " + displayName(*faces[i]);
        if (names.size() + next.size() > room) break;
        names += next;
    }
    return names + suffix;
}

std::string familyOrStem(const InstalledFace& face)
{
    return face.family.empty() ? stemOf(face.file) : face.family;
}

std::string withSizes(const std::string& family, const std::set<int>& sizes)
{
    return sizes.empty() ? family : family + ' ' + joinSizes(sizes);
}

} // namespace

int bitmapPointSize(double pixelSize)
{
    if (!(pixelSize > 0) || pixelSize > 100000) return 0;
    return static_cast<int>(std::lround(pixelSize * 72.0 / 96.0));
}

std::vector<FontsKeyEntry> buildFontsKey(std::vector<InstalledFace> faces)
{
    std::erase_if(faces, [](const InstalledFace& f) { return isNamedInstance(f) || kindOf(f) == Kind::Unlisted; });
    std::sort(faces.begin(), faces.end(), [](const InstalledFace& a, const InstalledFace& b) {
        return std::make_tuple(a.dirRank, std::cref(a.file), faceNumber(a), instanceOf(a)) <
               std::make_tuple(b.dirRank, std::cref(b.file), faceNumber(b), instanceOf(b));
    });
    // A variable font appears as its default face and as the variable whole: one face either way.
    faces.erase(std::unique(faces.begin(), faces.end(),
                            [](const InstalledFace& a, const InstalledFace& b) {
                                return a.file == b.file && faceNumber(a) == faceNumber(b);
                            }),
                faces.end());

    // The sizes of each PCF/BDF family and style, gathered across all of its files.
    std::map<std::pair<std::string, std::string>, std::set<int>> groupSizes;
    for (const InstalledFace& face : faces)
        if (kindOf(face) == Kind::XBitmap)
            if (const int points = bitmapPointSize(face.pixelSize))
                groupSizes[{familyOrStem(face), face.style}].insert(points);

    std::vector<FontsKeyEntry> entries;
    std::unordered_set<std::string> names;
    for (std::size_t first = 0; first < faces.size();) {
        std::size_t end = first + 1;
        while (end < faces.size() && faces[end].file == faces[first].file) ++end;
        std::vector<const InstalledFace*> fileFaces;
        for (std::size_t i = first; i < end; ++i) fileFaces.push_back(&faces[i]);
        const InstalledFace& face = faces[first];
        first = end;

        std::string name;
        switch (kindOf(face)) {
        case Kind::Outline:
            name = outlineName(fileFaces);
            break;
        case Kind::WindowsFnt:
            if (!face.description.empty()) {
                name = face.description;
            } else {
                std::set<int> sizes;
                for (const InstalledFace* f : fileFaces)
                    if (const int points = bitmapPointSize(f->pixelSize)) sizes.insert(points);
                name = withSizes(familyOrStem(face), sizes);
            }
            break;
        case Kind::XBitmap:
            name = withSizes(familyOrStem(face), groupSizes[{familyOrStem(face), face.style}]) + " (" +
                   stemOf(face.file) + ')';
            break;
        case Kind::Unlisted:
            continue;
        }
        name = cutUtf8(std::move(name), kMaxFontsKeyName - 1);
        if (name.empty() || !names.insert(lowerAscii(name)).second) continue;
        entries.push_back({std::move(name), face.file});
    }
    return entries;
}

} // namespace quillon::platform
