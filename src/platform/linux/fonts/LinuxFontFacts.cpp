#include "platform/linux/fonts/LinuxFontFacts.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/linux/files/FontFileBytes.h"
#include "platform/linux/fonts/FontSystemLocale.h"
#include "sfnt/Directory.h"
#include "sfnt/NameEncodings.h"
#include "sfnt/NameTable.h"
#include "sfnt/Source.h"

#include <fontconfig/fontconfig.h>

#include <fontconfig/fcfreetype.h> // needs fontconfig.h first
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_TYPE1_TABLES_H
#include FT_TRUETYPE_TABLES_H

#include <QSet>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

namespace quillon::platform {

namespace {

QString patternString(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

int patternInt(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    return FcPatternGetInteger(pattern, object, 0, &value) == FcResultMatch ? value : fallback;
}

bool patternBool(FcPattern* pattern, const char* object)
{
    FcBool value = FcFalse;
    return FcPatternGetBool(pattern, object, 0, &value) == FcResultMatch && value;
}

QString key(const QString& path, int index) { return QString::number(index) + u':' + path; }

/// Size of the file in bytes, -1 when it cannot be read. By its bytes: Qt's file classes miss a name that is
/// not UTF-8.
std::int64_t fileBytes(const QString& path)
{
    struct stat st {};
    return ::stat(nativeBytes(path).constData(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

/// Faces in the file: the count of a collection's header, 1 for anything else (and for a collection that
/// claims none).
int facesInFile(const sfnt::Source& file)
{
    const std::optional<sfnt::Directory> dir = sfnt::readDirectory(file, 0);
    if (!dir || !dir->collection || dir->numFonts == 0) return 1;
    return static_cast<int>(std::min<std::uint32_t>(dir->numFonts, 0x7fffffff));
}

FontFileFacts fileFactsOf(FcPattern* pattern)
{
    FontFileFacts f;
    FcChar8* file = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) == FcResultMatch && file)
        f.path = fromNativeBytes(reinterpret_cast<const char*>(file));
    f.index = patternInt(pattern, FC_INDEX, 0);
    f.fontFormat = patternString(pattern, FC_FONTFORMAT);
    f.family = patternString(pattern, FC_FAMILY);
    f.style = patternString(pattern, FC_STYLE);
    f.fullName = patternString(pattern, FC_FULLNAME);
    f.version = static_cast<std::uint32_t>(patternInt(pattern, FC_FONTVERSION, 0));
    f.variable = patternBool(pattern, FC_VARIABLE);
    f.bytes = fileBytes(f.path);
    sfnt::FileSource font;
    const bool opened = font.open(nativeBytes(f.path));
    f.facesInFile = opened ? facesInFile(font) : 1;
    // fontconfig keeps no style for the whole-range face of a variable font, nor for some named instances;
    // the font's own variations table names them.
    if (f.style.isEmpty() && opened)
        f.style =
            opentype::instanceStyle(opentype::Face::open(nativeBytes(f.path), f.index), systemDefaultLcid());
    return f;
}

bool nameMatches(FcPattern* pattern, const char* object, const QString& lowerName)
{
    FcChar8* value = nullptr;
    for (int n = 0; FcPatternGetString(pattern, object, n, &value) == FcResultMatch; ++n)
        if (value && QString::fromUtf8(reinterpret_cast<const char*>(value)).toLower() == lowerName)
            return true;
    return false;
}

std::vector<CodeRange> rangesOf(const FcCharSet* charset)
{
    std::vector<CodeRange> out;
    if (!charset) return out;
    FcChar32 map[FC_CHARSET_MAP_SIZE];
    FcChar32 next = 0;
    for (FcChar32 base = FcCharSetFirstPage(charset, map, &next); base != FC_CHARSET_DONE;
         base = FcCharSetNextPage(charset, map, &next)) {
        for (int word = 0; word < FC_CHARSET_MAP_SIZE; ++word) {
            if (!map[word]) continue;
            for (int bit = 0; bit < 32; ++bit) {
                if (!(map[word] & (1u << bit))) continue;
                const char32_t c = base + static_cast<char32_t>(word * 32 + bit);
                if (!out.empty() && out.back().second + 1 == c)
                    out.back().second = c;
                else
                    out.emplace_back(c, c);
            }
        }
    }
    return out;
}

QStringList languagesOf(FcPattern* pattern)
{
    QStringList out;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &langs) != FcResultMatch || !langs) return out;
    FcStrSet* set = FcLangSetGetLangs(langs);
    if (!set) return out;
    if (FcStrList* list = FcStrListCreate(set)) {
        while (FcChar8* lang = FcStrListNext(list))
            out << QString::fromUtf8(reinterpret_cast<const char*>(lang));
        FcStrListDone(list);
    }
    FcStrSetDestroy(set);
    out.sort();
    return out;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};

QByteArray tagText(FT_ULong tag)
{
    QByteArray out(4, ' ');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((tag >> (24 - 8 * i)) & 0xff);
    return out;
}

/// The axes and instances of a multiple master font that is no sfnt (Type 1), as FreeType gives them: the
/// layout table reader reads those of sfnt faces.
void readMultipleMasters(FT_Library library, FT_Face face, opentype::LayoutTables& out)
{
    if (!FT_HAS_MULTIPLE_MASTERS(face)) return;
    FT_MM_Var* mm = nullptr;
    if (FT_Get_MM_Var(face, &mm) != 0 || !mm) return;
    QByteArrayList tags;
    for (FT_UInt a = 0; a < mm->num_axis; ++a) {
        const FT_Var_Axis& axis = mm->axis[a];
        opentype::Axis v;
        v.tag = tagText(axis.tag);
        v.name = axis.name ? QString::fromLatin1(axis.name) : QString::fromLatin1(v.tag).trimmed();
        v.minimum = axis.minimum / 65536.0;
        v.defaultValue = axis.def / 65536.0;
        v.maximum = axis.maximum / 65536.0;
        tags << v.tag;
        out.axes.push_back(std::move(v));
    }
    for (FT_UInt n = 0; n < mm->num_namedstyles; ++n) {
        opentype::Instance instance;
        // Some FreeType releases hand a negative coordinate over as its unsigned 32-bit pattern; the value
        // is a 16.16 number in 32 bits either way.
        for (FT_UInt a = 0; a < mm->num_axis; ++a)
            instance.coordinates.push_back(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(mm->namedstyle[n].coords[a])) / 65536.0);
        instance.name = opentype::coordinateWords(tags, instance.coordinates);
        out.instances.push_back(std::move(instance));
    }
    FT_Done_MM_Var(library, mm);
}

} // namespace

LinuxFontFacts::LinuxFontFacts() = default;

LinuxFontFacts::~LinuxFontFacts()
{
    if (library_) FT_Done_FreeType(library_);
    if (indexedConfig_) FcConfigDestroy(indexedConfig_);
}

FT_Library LinuxFontFacts::freetype()
{
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    return library_;
}

std::vector<FontFileFacts> LinuxFontFacts::installedFacesNamed(const QString& name)
{
    std::vector<FontFileFacts> out;
    const QString lowerName = name.toLower();
    FcConfig* config = FcConfigGetCurrent();
    if (!config || lowerName.isEmpty()) return out;
    QHash<QString, std::size_t> seen; // one entry per face of a file, whatever its named instances
    // A face found by a full name that only some of its files carry ("C059-Bold" in the OpenType file, "C059
    // Bold" in the Type 1 files beside it) is the same face in each: its family and style find the others.
    QSet<QString> faces;
    const auto faceKey = [](FcPattern* p) {
        FcChar8* family = nullptr;
        FcChar8* style = nullptr;
        if (FcPatternGetString(p, FC_FAMILY, 0, &family) != FcResultMatch || !family ||
            FcPatternGetString(p, FC_STYLE, 0, &style) != FcResultMatch || !style)
            return QString();
        return QString::fromUtf8(reinterpret_cast<const char*>(family)).toLower() + QChar(0) +
               QString::fromUtf8(reinterpret_cast<const char*>(style)).toLower();
    };
    for (int pass = 0; pass < 2; ++pass)
        for (FcSetName which : {FcSetSystem, FcSetApplication}) {
            FcFontSet* set = FcConfigGetFonts(config, which);
            for (int i = 0; set && i < set->nfont; ++i) {
                FcPattern* p = set->fonts[i];
                if (pass == 0) {
                    const bool byFamily = nameMatches(p, FC_FAMILY, lowerName);
                    if (!byFamily && !nameMatches(p, FC_FULLNAME, lowerName)) continue;
                    if (!byFamily) faces.insert(faceKey(p));
                } else if (!faces.contains(faceKey(p))) {
                    continue;
                }
                FontFileFacts f = fileFactsOf(p);
                // A file the program adds for a while is handed to the font system from memory, under a name
                // that is no file (":qmemoryfonts/0"); the face is listed by its own file where it is drawn.
                if (!f.path.startsWith(QLatin1Char('/'))) continue;
                const QString k = key(f.path, f.index & 0xffff);
                if (auto it = seen.find(k); it != seen.end()) {
                    // The whole-range face of a variable font stands for its named instances.
                    if (f.variable && !out[*it].variable) out[*it] = std::move(f);
                    continue;
                }
                seen.insert(k, out.size());
                out.push_back(std::move(f));
            }
        }
    return out;
}

FcPattern* LinuxFontFacts::installedPattern(const QString& path, int index)
{
    FcConfig* config = FcConfigGetCurrent();
    if (!config) return nullptr;
    const QByteArray file = nativeBytes(path);
    // The program's own fonts come and go (their patterns with them), so they are searched afresh each time;
    // there are few of them.
    if (FcFontSet* application = FcConfigGetFonts(config, FcSetApplication)) {
        for (int i = 0; i < application->nfont; ++i) {
            FcPattern* p = application->fonts[i];
            FcChar8* value = nullptr;
            if (FcPatternGetString(p, FC_FILE, 0, &value) == FcResultMatch && value &&
                file == reinterpret_cast<const char*>(value) && patternInt(p, FC_INDEX, 0) == index)
                return p;
        }
    }
    // The system's fonts stay as they are for the configuration's life: indexed once for it.
    FcFontSet* system = FcConfigGetFonts(config, FcSetSystem);
    if (system != indexedSystem_ || config != indexedConfig_) {
        byFile_.clear();
        for (int i = 0; system && i < system->nfont; ++i) {
            FcPattern* p = system->fonts[i];
            FcChar8* value = nullptr;
            if (FcPatternGetString(p, FC_FILE, 0, &value) != FcResultMatch || !value) continue;
            const QString k =
                key(fromNativeBytes(reinterpret_cast<const char*>(value)), patternInt(p, FC_INDEX, 0));
            if (!byFile_.contains(k)) byFile_.insert(k, p);
        }
        indexedSystem_ = system;
        FcConfigReference(config);
        if (indexedConfig_) FcConfigDestroy(indexedConfig_);
        indexedConfig_ = config;
    }
    return byFile_.value(key(path, index), nullptr);
}

bool LinuxFontFacts::hasCharacters(const QString& path, int index, const std::vector<char32_t>& characters)
{
    if (characters.empty()) return true;
    std::unique_ptr<FcPattern, PatternDeleter> queried;
    FcPattern* pattern = installedPattern(path, index);
    if (!pattern) {
        int count = 0;
        queried.reset(FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(nativeBytes(path).constData()), index,
                                      nullptr, &count));
        pattern = queried.get();
    }
    FcCharSet* charset = nullptr;
    if (!pattern || FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) != FcResultMatch || !charset)
        return false;
    for (char32_t c : characters)
        if (!FcCharSetHasChar(charset, c)) return false;
    return true;
}

std::optional<FaceFacts> LinuxFontFacts::faceFacts(const QString& path, int index)
{
    FT_Library library = freetype();
    if (!library || index < 0) return std::nullopt;
    const QByteArray bytes = nativeBytes(path);
    // Through reads, not a mapping: a file replaced while it is open must not end the program.
    FT_Face raw = openFaceByReads(library, path, index);
    if (!raw) {
        qCDebug(log::fonts) << "face information: cannot open" << path << index;
        return std::nullopt;
    }
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face(raw);
    // The names and the collection header are read by the program's own bounded reader, from the file's
    // directory and name table only.
    sfnt::FileSource file;
    const bool opened = file.open(bytes);

    std::unique_ptr<FcPattern, PatternDeleter> queried;
    FcPattern* pattern = installedPattern(path, index);
    if (!pattern) {
        int count = 0;
        queried.reset(
            FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(bytes.constData()), index, nullptr, &count));
        pattern = queried.get();
    }

    FaceFacts out;
    if (pattern) {
        out.file = fileFactsOf(pattern);
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) == FcResultMatch)
            out.charset = rangesOf(charset);
        out.languages = languagesOf(pattern);
    } else {
        out.file.path = path;
        out.file.index = index;
        out.file.family = QString::fromUtf8(face->family_name ? face->family_name : "");
        out.file.style = QString::fromUtf8(face->style_name ? face->style_name : "");
        out.file.bytes = fileBytes(path);
        out.file.facesInFile = opened ? facesInFile(file) : 1;
    }
    out.glyphCount = static_cast<int>(face->num_glyphs);
    if (PS_FontInfoRec ps{};
        !FT_IS_SFNT(face.get()) && FT_Get_PS_Font_Info(face.get(), &ps) == 0 && ps.version)
        out.file.versionText = QString::fromLatin1(ps.version).left(64).trimmed();

    if (FT_IS_SFNT(face.get())) {
        if (opened) out.names = sfnt::listNames(file, index & 0xffff, sfnt::decodeNameTextByEncoding);
        FT_ULong tag = 0;
        FT_ULong length = 0;
        for (FT_UInt i = 0; FT_Sfnt_Table_Info(face.get(), i, &tag, &length) == 0; ++i)
            out.tables << tagText(tag);
        if (auto layout =
                opentype::readLayoutTables(bytes, index, opentype::Detail::Everything, systemDefaultLcid()))
            out.layout = std::move(*layout);
    } else {
        readMultipleMasters(library, face.get(), out.layout);
    }
    return out;
}

} // namespace quillon::platform
