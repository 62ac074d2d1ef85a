#include "platform/linux/registry/FontsKeyListing.h"

#include "platform/linux/registry/FonDescription.h"
#include "platform/linux/registry/SfntFullName.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace quillon::platform {

namespace {

const char* patternText(FcPattern* pattern, const char* object, int n = 0)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return "";
    return reinterpret_cast<const char*>(value);
}

bool isEnglish(const char* lang) { return std::strcmp(lang, "en") == 0 || std::strncmp(lang, "en-", 3) == 0; }

/// fontconfig lists a face's full names with the Windows records first, but puts the compatible full
/// name (ID 18) before ID 4 and adds the Macintosh records. A single English name is the one wanted;
/// where there are several, the first is ID 4 unless the font has an ID 18, which the file settles.
std::string_view englishFullName(FcPattern* pattern, const char* file, int index,
                                 std::deque<std::string>& readNames)
{
    const char* firstEnglish = nullptr;
    const char* firstAny = nullptr;
    int english = 0;
    for (int n = 0;; ++n) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(pattern, FC_FULLNAME, n, &value) != FcResultMatch) break;
        if (!value || !*value) continue;
        const char* name = reinterpret_cast<const char*>(value);
        if (!firstAny) firstAny = name;
        if (isEnglish(patternText(pattern, FC_FULLNAMELANG, n)) && ++english == 1) firstEnglish = name;
    }
    // A first name that is the PostScript name is ID 4 spelled that way (a compatible full name is for
    // menus); only otherwise can it be ID 18, so only then is the file read.
    if (english > 1 && std::strcmp(firstEnglish, patternText(pattern, FC_POSTSCRIPT_NAME)) != 0) {
        std::string fromFile = windowsEnglishFullName(file, index & 0xFFFF);
        if (!fromFile.empty()) return readNames.emplace_back(std::move(fromFile));
    }
    if (firstEnglish) return firstEnglish;
    return firstAny ? firstAny : "";
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

int folderRank(const std::vector<std::string>& folders, const char* file)
{
    for (std::size_t i = 0; i < folders.size(); ++i)
        if (std::strncmp(file, folders[i].c_str(), folders[i].size()) == 0) return static_cast<int>(i);
    return static_cast<int>(folders.size());
}

} // namespace

std::vector<FontsKeyEntry> listFontsKey()
{
    // The configuration's set of system fonts is the cache as loaded; reading it in place spares the copies
    // and de-duplication a listing query makes. Its texts stay valid while this function runs, so the faces
    // refer to them. The application set is left out: a font the program adds for a while (as Qt adds its
    // application fonts there) is not installed, and Windows does not list such a font in this key either.
    FcFontSet* sets[] = {FcConfigGetFonts(nullptr, FcSetSystem)};
    const std::vector<std::string> folders = configuredFolders();
    std::deque<std::string> readNames;                    // names read from the files themselves
    std::map<std::string_view, std::string> descriptions; // per .fon file, read once
    std::vector<InstalledFace> faces;
    for (FcFontSet* set : sets) {
        if (!set) continue;
        faces.reserve(faces.size() + static_cast<std::size_t>(set->nfont));
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            InstalledFace face;
            const char* file = patternText(font, FC_FILE);
            if (!*file) continue;
            face.file = file;
            face.format = patternText(font, FC_FONTFORMAT);
            FcPatternGetInteger(font, FC_INDEX, 0, &face.index);
            face.family = patternText(font, FC_FAMILY);
            face.style = patternText(font, FC_STYLE);
            FcPatternGetDouble(font, FC_PIXEL_SIZE, 0, &face.pixelSize);
            face.dirRank = folderRank(folders, file);
            if (face.format == "TrueType" || face.format == "CFF" || face.format == "CFF2") {
                // Named instances of a variable font are skipped by the key; their names are not needed.
                const int instance = (face.index >> 16) & 0xFFFF;
                if (instance == 0 || instance == 0x8000)
                    face.fullName = englishFullName(font, file, face.index, readNames);
            } else if (face.format == "Windows FNT") {
                auto it = descriptions.find(face.file);
                if (it == descriptions.end())
                    it = descriptions.emplace(face.file, fonDescription(file)).first;
                face.description = it->second;
            }
            faces.push_back(face);
        }
    }
    return buildFontsKey(faces);
}

} // namespace quillon::platform
