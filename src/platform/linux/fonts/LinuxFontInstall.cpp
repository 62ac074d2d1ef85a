#include "platform/linux/fonts/LinuxFontInstall.h"

#include "platform/FontChanges.h"
#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"
#include "platform/linux/files/ArchiveFonts.h"
#include "platform/linux/files/FontFileBytes.h"
#include "platform/linux/xdg/FreedesktopTrash.h"
#include "platform/linux/xdg/XdgPaths.h"
#include "sfnt/Directory.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fcfreetype.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace quillon::platform {

namespace {

// A collection's face count comes from the file; a lying one must not make the reading run for long.
constexpr long kMostFaces = 4096;

QString patternText(FcPattern* p, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

QString formatWords(const QString& fontconfigFormat, long faces)
{
    QString words = fontconfigFormat;
    if (fontconfigFormat == QLatin1String("CFF"))
        words = QStringLiteral("OpenType CFF");
    else if (fontconfigFormat == QLatin1String("PCF") || fontconfigFormat == QLatin1String("BDF") ||
             fontconfigFormat == QLatin1String("Windows FNT"))
        words = QStringLiteral("Bitmap (%1)").arg(fontconfigFormat);
    if (faces > 1) words += QStringLiteral(" collection");
    return words;
}

std::uint32_t bigEndian32(const QByteArray& data)
{
    if (data.size() < 4) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(data.constData());
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

QString tagText(std::uint32_t tag)
{
    QString out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((tag >> shift) & 0xff);
        out += c >= 0x20 && c < 0x7f ? QChar::fromLatin1(c) : QChar(u'?');
    }
    return out;
}

/// Why an sfnt file is not whole (a download that stopped early cuts its last tables short); empty when
/// every table of every face lies inside it.
QString sfntProblem(const QByteArray& data)
{
    const sfnt::MemorySource source(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())));
    const std::optional<sfnt::Directory> first = sfnt::readDirectory(source, 0);
    if (!first) return QStringLiteral("its table directory cannot be read");
    const int faces =
        first->collection ? static_cast<int>(std::min<std::uint32_t>(first->numFonts, kMostFaces)) : 1;
    if (faces == 0) return QStringLiteral("it is a collection without faces");
    for (int face = 0; face < faces; ++face) {
        const std::optional<sfnt::Directory> directory =
            face == 0 ? first : sfnt::readDirectory(source, face);
        if (!directory || directory->numTables == 0)
            return QStringLiteral("face %1 of it has no tables").arg(face + 1);
        if (directory->entries.size() < directory->numTables ||
            !source.holds(directory->fontStart,
                          sfnt::kOffsetTableSize + sfnt::kDirectoryEntrySize * directory->numTables))
            return QStringLiteral("it is not whole: its table directory runs past its end (the download may "
                                  "have stopped early)");
        for (const sfnt::TableEntry& table : directory->entries)
            if (!source.holds(table.offset, table.length))
                return QStringLiteral("it is not whole: its '%1' table runs past its end (the download may "
                                      "have stopped early)")
                    .arg(tagText(table.tag));
    }
    return {};
}

/// Installed files with a face of this family and style, as fontconfig matches names (ignoring case).
QStringList filesWithFace(const QString& family, const QString& style)
{
    QStringList out;
    if (family.isEmpty()) return out;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    if (!style.isEmpty())
        FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file) {
                const QString path = fromNativeBytes(reinterpret_cast<const char*>(file));
                if (path.startsWith(QLatin1Char('/')) && !out.contains(path)) out << path;
            }
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return out;
}

} // namespace

LinuxFontInstall::LinuxFontInstall(FontChanges& changes) : changes_(changes) {}

LinuxFontInstall::~LinuxFontInstall()
{
    if (library_) FT_Done_FreeType(library_);
}

FT_Library LinuxFontInstall::freetype()
{
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    return library_;
}

QString LinuxFontInstall::userFontFolder()
{
    return XdgPaths::fromEnvironment().dataHome + QStringLiteral("/fonts");
}

QStringList LinuxFontInstall::userFolders()
{
    QStringList out{userFontFolder()};
    const QString home = QDir::homePath();
    const QString data = XdgPaths::fromEnvironment().dataHome;
    const auto under = [](const QString& path, const QString& root) {
        return root.size() > 1 && (path == root || path.startsWith(root + QLatin1Char('/')));
    };
    if (FcStrList* list = FcConfigGetConfigDirs(nullptr)) {
        while (FcChar8* dir = FcStrListNext(list)) {
            const QString path = QDir::cleanPath(fromNativeBytes(reinterpret_cast<const char*>(dir)));
            if ((under(path, home) || under(path, data)) && !out.contains(path)) out << path;
        }
        FcStrListDone(list);
    }
    return out;
}

bool LinuxFontInstall::inUserFolders(const QString& path)
{
    const QFileInfo file(absoluteNativePath(path));
    if (!file.exists() && !file.isSymLink()) return false;
    if (file.isDir()) return false;
    // Compared by their real folders, so neither "..", nor a link to a system folder, lets a file pass.
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty()) return false;
    for (const QString& root : userFolders()) {
        const QString real = QFileInfo(root).canonicalFilePath();
        if (!real.isEmpty() && real != QLatin1String("/") &&
            (folder == real || folder.startsWith(real + QLatin1Char('/'))))
            return true;
    }
    return false;
}

ExaminedFile LinuxFontInstall::examine(const QString& path)
{
    ExaminedFile out;
    const QFileInfo info(path);
    if (!info.isFile()) {
        out.problem =
            info.exists() ? QStringLiteral("it is not a file") : QStringLiteral("it cannot be found");
        return out;
    }
    const std::optional<QByteArray> data = readFontFile(path);
    if (!data) {
        out.problem = info.size() > kMostFontFileBytes ? QStringLiteral("it is larger than any font file")
                                                       : QStringLiteral("it cannot be read");
        return out;
    }
    out.bytes = data->size();
    if (data->isEmpty()) {
        out.problem = QStringLiteral("it is empty");
        return out;
    }
    const std::uint32_t signature = bigEndian32(*data);
    if (signature == 0x774F4646 || signature == 0x774F4632) { // 'wOFF', 'wOF2'
        out.problem = QStringLiteral("it is a web font (WOFF), which desktop programs do not use");
        return out;
    }
    const bool sfntFile = signature == 0x00010000 || signature == 0x4F54544F || signature == 0x74727565 ||
                          signature == 0x74797031 || signature == sfnt::kCollectionTag;
    if (sfntFile) {
        out.problem = sfntProblem(*data);
        if (!out.problem.isEmpty()) return out;
    }
    FT_Library library = freetype();
    if (!library) {
        out.problem = QStringLiteral("the font engine could not be started");
        return out;
    }
    const QByteArray file = nativeBytes(absoluteNativePath(path));
    long count = 1;
    for (long id = 0; id < count && id < kMostFaces; ++id) {
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data->constData()),
                               static_cast<FT_Long>(data->size()), id, &face) != 0) {
            out.problem = id == 0 ? QStringLiteral("it is not a font file")
                                  : QStringLiteral("face %1 of it cannot be opened").arg(id + 1);
            out.faces.clear();
            return out;
        }
        if (id == 0) count = std::max<long>(1, face->num_faces);
        std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(
            FcFreeTypeQueryFace(face, reinterpret_cast<const FcChar8*>(file.constData()),
                                static_cast<unsigned int>(id), nullptr),
            &FcPatternDestroy);
        FT_Done_Face(face);
        if (!pattern) {
            out.problem = QStringLiteral("face %1 of it cannot be read").arg(id + 1);
            out.faces.clear();
            return out;
        }
        ExaminedFace examined;
        examined.family = patternText(pattern.get(), FC_FAMILY);
        examined.style = patternText(pattern.get(), FC_STYLE);
        examined.fullName = patternText(pattern.get(), FC_FULLNAME);
        examined.format = formatWords(patternText(pattern.get(), FC_FONTFORMAT), count);
        const QString self = fromNativeBytes(file);
        for (const QString& other : filesWithFace(examined.family, examined.style))
            if (other != self) examined.sameFace << other;
        out.faces.push_back(std::move(examined));
    }
    // The very same bytes installed already: among the files with its faces, and the install folder's files
    // of its size (fontconfig may not have read them yet, and an earlier install may have numbered the name).
    QStringList candidates{userFontFolder() + QLatin1Char('/') + cleanName(info.fileName())};
    QDirIterator own(userFontFolder(), QDir::Files | QDir::Hidden);
    while (own.hasNext()) {
        own.next();
        if (own.fileInfo().size() == out.bytes) candidates << own.filePath();
    }
    for (const ExaminedFace& face : out.faces) candidates += face.sameFace;
    QSet<QString> compared;
    for (const QString& candidate : std::as_const(candidates)) {
        if (compared.contains(candidate)) continue;
        compared.insert(candidate);
        if (QFileInfo(candidate).size() != out.bytes ||
            QFileInfo(candidate).canonicalFilePath() == info.canonicalFilePath())
            continue;
        if (const auto other = readFontFile(candidate); other && *other == *data) {
            out.identical = candidate;
            break;
        }
    }
    return out;
}

QString LinuxFontInstall::cleanName(const QString& name)
{
    QString clean = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    for (QChar& c : clean)
        if (c.unicode() < 0x20 || c == QChar(0x7f)) c = QLatin1Char('_');
    while (clean.startsWith(QLatin1Char('.'))) clean.remove(0, 1); // fontconfig leaves hidden files out
    if (clean.isEmpty()) clean = QStringLiteral("font");
    // Room for a number within the 255 bytes a file name may have.
    while (nativeBytes(clean).size() > 240) clean.chop(1);
    return clean;
}

QString LinuxFontInstall::numberedName(const QString& name, int n)
{
    if (n <= 1) return name;
    static const char* const doubled[] = {".pcf.gz"};
    QString suffix;
    for (const char* kind : doubled)
        if (name.endsWith(QLatin1String(kind), Qt::CaseInsensitive))
            suffix = name.right(qsizetype(strlen(kind)));
    if (suffix.isEmpty()) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) suffix = name.mid(dot);
    }
    return name.left(name.size() - suffix.size()) + QStringLiteral("-%1").arg(n) + suffix;
}

QString LinuxFontInstall::copyIn(const QString& source, const QString& name, QString* problem)
{
    const QString folder = userFontFolder();
    if (!QDir().mkpath(folder)) {
        if (problem) *problem = ReplacingFile::reasonFor(errno ? errno : EACCES, folder);
        return {};
    }
    // Written beside the font folder's files under a hidden name (fontconfig reads no hidden file), then
    // given its own name only where no file has it.
    ReplacingFile file(folder + QStringLiteral("/.quillon-font"));
    if (!file.open() || !file.copyFrom(source)) {
        if (problem) *problem = file.problem();
        return {};
    }
    const QString clean = cleanName(name);
    for (int n = 1; n <= 1000; ++n) {
        file.retarget(folder + QLatin1Char('/') + numberedName(clean, n));
        if (file.commitNew()) {
            qCDebug(log::catalogue) << "installed" << source << "as" << file.target();
            return file.target();
        }
        if (!file.targetTaken()) {
            if (problem) *problem = file.problem();
            return {};
        }
    }
    file.cancel();
    if (problem) *problem = QStringLiteral("%1 holds a thousand files named %2").arg(folder, clean);
    return {};
}

bool LinuxFontInstall::moveToTrash(const QString& path, QString* problem)
{
    if (!inUserFolders(path)) {
        if (problem)
            *problem = QStringLiteral("it is not in your own font folders: only fonts installed for you are "
                                      "removed here");
        qCDebug(log::catalogue) << "not removed, not in the user's font folders:" << path;
        return false;
    }
    return FreedesktopTrash(XdgPaths::fromEnvironment().dataHome).trash(absoluteNativePath(path), problem);
}

Unpacked LinuxFontInstall::unpack(const QString& archive, const QString& folder, const ArchiveLimits& limits)
{
    return ArchiveFonts::unpack(archive, folder, limits);
}

void LinuxFontInstall::announce(const QString& folder)
{
    // Other programs read fontconfig's cache; without an up-to-date one each of them scans the folder at its
    // start. fc-cache writes it in the background; this program reads the folder now.
    const QString fcCache = QStandardPaths::findExecutable(QStringLiteral("fc-cache"));
    if (fcCache.isEmpty())
        qCDebug(log::catalogue) << "fc-cache is not installed: other programs read" << folder << "themselves";
    else if (!QProcess::startDetached(fcCache, {folder}))
        qCDebug(log::catalogue) << "fc-cache did not start for" << folder;
    changes_.checkNow(QStringLiteral("fonts were installed or removed in %1").arg(folder));
}

} // namespace quillon::platform
