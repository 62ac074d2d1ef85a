#include "platform/linux/FontconfigFaces.h"

#include "platform/linux/FonDescription.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <map>
#include <memory>
#include <string>

namespace quillon::platform {

namespace {

std::string patternString(FcPattern* pattern, const char* object, int n = 0)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

bool isEnglish(const std::string& lang) { return lang == "en" || lang.rfind("en-", 0) == 0; }

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string utf16beToUtf8(const FT_Byte* bytes, FT_UInt length)
{
    std::string out;
    for (FT_UInt i = 0; i + 1 < length; i += 2) {
        char32_t c = static_cast<char32_t>(bytes[i] << 8 | bytes[i + 1]);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < length) {
            const char32_t low = static_cast<char32_t>(bytes[i + 2] << 8 | bytes[i + 3]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c != 0) appendUtf8(out, c);
    }
    return out;
}

/// Opens font files with FreeType on demand, once per listing.
class NameReader {
public:
    ~NameReader()
    {
        if (library_) FT_Done_FreeType(library_);
    }

    /// The Windows English full name (platform 3, name ID 4; US English first) of one face, or "".
    std::string windowsEnglishFullName(const std::string& file, int faceNumber)
    {
        if (!library_ && FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return {};
        }
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.c_str(), faceNumber, &face) != 0) return {};
        std::string best;
        bool bestIsUs = false;
        const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
        for (FT_UInt i = 0; i < count && !bestIsUs; ++i) {
            FT_SfntName name;
            if (FT_Get_Sfnt_Name(face, i, &name) != 0) continue;
            if (name.platform_id != TT_PLATFORM_MICROSOFT || name.name_id != TT_NAME_ID_FULL_NAME) continue;
            if (name.encoding_id != TT_MS_ID_UNICODE_CS && name.encoding_id != TT_MS_ID_SYMBOL_CS &&
                name.encoding_id != TT_MS_ID_UCS_4)
                continue;
            if ((name.language_id & 0x3FF) != 0x09) continue; // English, any country
            std::string text = utf16beToUtf8(name.string, name.string_len);
            if (text.empty()) continue;
            if (name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES || best.empty()) {
                bestIsUs = name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES;
                best = std::move(text);
            }
        }
        FT_Done_Face(face);
        return best;
    }

private:
    FT_Library library_ = nullptr;
};

/// fontconfig lists a face's full names Windows records first, but puts the compatible full name (ID 18)
/// before ID 4 and adds the Macintosh records. A single English name is the one wanted; where there are
/// several, the file's own name table settles it.
std::string englishFullName(FcPattern* pattern, const std::string& file, int index, NameReader& reader)
{
    std::string firstEnglish, firstAny;
    int english = 0;
    for (int n = 0;; ++n) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(pattern, FC_FULLNAME, n, &value) != FcResultMatch) break;
        if (!value || !*value) continue;
        std::string name = reinterpret_cast<const char*>(value);
        if (firstAny.empty()) firstAny = name;
        if (isEnglish(patternString(pattern, FC_FULLNAMELANG, n))) {
            if (++english == 1) firstEnglish = std::move(name);
        }
    }
    if (english > 1) {
        std::string fromFile = reader.windowsEnglishFullName(file, index & 0xFFFF);
        if (!fromFile.empty()) return fromFile;
    }
    if (!firstEnglish.empty()) return firstEnglish;
    return firstAny;
}

std::vector<std::string> configuredFolders()
{
    std::vector<std::string> folders;
    if (FcStrList* list = FcConfigGetConfigDirs(nullptr)) {
        while (FcChar8* dir = FcStrListNext(list)) {
            std::string folder = reinterpret_cast<const char*>(dir);
            if (folder.empty()) continue;
            if (folder.back() != '/') folder += '/';
            folders.push_back(std::move(folder));
        }
        FcStrListDone(list);
    }
    return folders;
}

int folderRank(const std::vector<std::string>& folders, const std::string& file)
{
    for (std::size_t i = 0; i < folders.size(); ++i)
        if (file.compare(0, folders[i].size(), folders[i]) == 0) return static_cast<int>(i);
    return static_cast<int>(folders.size());
}

} // namespace

std::vector<InstalledFace> listInstalledFaces()
{
    std::vector<InstalledFace> faces;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FONTFORMAT, FC_FULLNAME, FC_FULLNAMELANG, FC_FAMILY, FC_STYLE,
                         FC_PIXEL_SIZE, nullptr),
        FcObjectSetDestroy);
    if (!pattern || !objects) return faces;
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(FcFontList(nullptr, pattern.get(), objects.get()),
                                                                FcFontSetDestroy);
    if (!set) return faces;

    const std::vector<std::string> folders = configuredFolders();
    std::map<std::string, std::string> descriptions; // per .fon file, read once
    NameReader reader;
    faces.reserve(static_cast<std::size_t>(set->nfont));
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        InstalledFace face;
        face.file = patternString(font, FC_FILE);
        if (face.file.empty()) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &face.index);
        face.format = patternString(font, FC_FONTFORMAT);
        face.family = patternString(font, FC_FAMILY);
        face.style = patternString(font, FC_STYLE);
        FcPatternGetDouble(font, FC_PIXEL_SIZE, 0, &face.pixelSize);
        face.dirRank = folderRank(folders, face.file);
        if (face.format == "TrueType" || face.format == "CFF" || face.format == "CFF2") {
            // Named instances of a variable font are skipped by the key; their names are not needed.
            const int instance = (face.index >> 16) & 0xFFFF;
            if (instance == 0 || instance == 0x8000)
                face.fullName = englishFullName(font, face.file, face.index, reader);
        } else if (face.format == "Windows FNT") {
            auto it = descriptions.find(face.file);
            if (it == descriptions.end()) it = descriptions.emplace(face.file, fonDescription(face.file)).first;
            face.description = it->second;
        }
        faces.push_back(std::move(face));
    }
    return faces;
}

} // namespace quillon::platform
