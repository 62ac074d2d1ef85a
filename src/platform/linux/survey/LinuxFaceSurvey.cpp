#include "platform/linux/survey/LinuxFaceSurvey.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"
#include "platform/linux/fonts/FaceNameIndex.h"
#include "platform/linux/survey/LayoutTagReader.h"
#include "platform/linux/survey/SurveyCache.h"
#include "platform/linux/xdg/XdgPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <unordered_map>

#include <sys/stat.h>

namespace quillon::platform {

namespace {

/// A cache file larger than this is not read: a real one takes some 150 bytes a face.
constexpr qint64 kMostCacheBytes = qint64{256} << 20;

QByteArray patternFile(FcPattern* pattern)
{
    FcChar8* file = nullptr;
    return FcPatternGetString(pattern, FC_FILE, 0, &file) == FcResultMatch && file
               ? QByteArray(reinterpret_cast<const char*>(file))
               : QByteArray();
}

int patternInt(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    return FcPatternGetInteger(pattern, object, 0, &value) == FcResultMatch ? value : fallback;
}

QByteArray faceKey(const QByteArray& file, int index) { return file + '\0' + QByteArray::number(index); }

/// The character sets and language sets of the surveyed faces. The character sets stay in fontconfig's
/// cache, which the held reference to the configuration keeps; the language sets are copies.
class FontconfigCoverage final : public SurveyCoverage {
public:
    explicit FontconfigCoverage(FcConfig* config) : config_(config) { FcConfigReference(config_); }
    ~FontconfigCoverage() override
    {
        for (FcLangSet* set : sets_) FcLangSetDestroy(set);
        FcConfigDestroy(config_);
    }
    FontconfigCoverage(const FontconfigCoverage&) = delete;
    FontconfigCoverage& operator=(const FontconfigCoverage&) = delete;

    bool hasCharacters(int face, std::span<const char32_t> characters) const override
    {
        const FcCharSet* charset = charsetOf(face);
        for (char32_t c : characters)
            if (!charset || !FcCharSetHasChar(charset, c)) return false;
        return true;
    }

    std::vector<char32_t> someCharacters(int face, int count) const override
    {
        std::vector<char32_t> out;
        const FcCharSet* charset = charsetOf(face);
        if (!charset) return out;
        FcChar32 map[FC_CHARSET_MAP_SIZE];
        FcChar32 next = 0;
        for (FcChar32 base = FcCharSetFirstPage(charset, map, &next);
             base != FC_CHARSET_DONE && static_cast<int>(out.size()) < count;
             base = FcCharSetNextPage(charset, map, &next))
            for (int word = 0; word < FC_CHARSET_MAP_SIZE; ++word)
                for (int bit = 0; bit < 32 && map[word]; ++bit) {
                    const char32_t c = base + static_cast<char32_t>(word * 32 + bit);
                    if ((map[word] & (1u << bit)) && QChar::isPrint(c) && !QChar::isSpace(c) &&
                        static_cast<int>(out.size()) < count)
                        out.push_back(c);
                }
        return out;
    }

    int languageSetCount() const override { return static_cast<int>(sets_.size()); }

    QStringList languages(int set) const override
    {
        QStringList out;
        if (set < 0 || set >= languageSetCount()) return out;
        FcStrSet* tags = FcLangSetGetLangs(sets_[static_cast<std::size_t>(set)]);
        if (!tags) return out;
        if (FcStrList* list = FcStrListCreate(tags)) {
            while (FcChar8* tag = FcStrListNext(list)) out << QString::fromUtf8(reinterpret_cast<char*>(tag));
            FcStrListDone(list);
        }
        FcStrSetDestroy(tags);
        out.sort();
        return out;
    }

    std::vector<bool> setsWithLanguage(const QString& tag) const override
    {
        std::vector<bool> out(sets_.size(), false);
        FcChar8* normal = FcLangNormalize(reinterpret_cast<const FcChar8*>(tag.toUtf8().constData()));
        if (!normal) return out;
        FcLangSet* wanted = FcLangSetCreate();
        FcLangSetAdd(wanted, normal);
        FcStrFree(normal);
        // As fc-list matches a :lang= pattern: the face's set contains every language asked for.
        for (std::size_t i = 0; i < sets_.size(); ++i) out[i] = FcLangSetContains(sets_[i], wanted);
        FcLangSetDestroy(wanted);
        return out;
    }

    std::vector<char32_t> languageCharacters(const QString& tag) const override
    {
        std::vector<char32_t> out;
        const FcCharSet* charset =
            FcLangGetCharSet(reinterpret_cast<const FcChar8*>(tag.toUtf8().constData()));
        if (!charset) return out;
        FcChar32 map[FC_CHARSET_MAP_SIZE];
        FcChar32 next = 0;
        for (FcChar32 base = FcCharSetFirstPage(charset, map, &next); base != FC_CHARSET_DONE;
             base = FcCharSetNextPage(charset, map, &next))
            for (int word = 0; word < FC_CHARSET_MAP_SIZE; ++word)
                for (int bit = 0; bit < 32 && map[word]; ++bit)
                    if (map[word] & (1u << bit)) out.push_back(base + static_cast<char32_t>(word * 32 + bit));
        return out;
    }

    /// The set equal to `set` (not owned), added when new: its number.
    int languageSetFor(const FcLangSet* set)
    {
        if (!set) return -1;
        const FcChar32 hash = FcLangSetHash(set);
        const auto [first, last] = byHash_.equal_range(hash);
        for (auto it = first; it != last; ++it)
            if (FcLangSetEqual(sets_[static_cast<std::size_t>(it->second)], set)) return it->second;
        sets_.push_back(FcLangSetCopy(set));
        const int number = static_cast<int>(sets_.size()) - 1;
        byHash_.emplace(hash, number);
        return number;
    }

    std::vector<const FcCharSet*> charsets; // one per face, null for none

private:
    const FcCharSet* charsetOf(int face) const
    {
        return face >= 0 && face < static_cast<int>(charsets.size())
                   ? charsets[static_cast<std::size_t>(face)]
                   : nullptr;
    }

    FcConfig* config_;
    std::vector<FcLangSet*> sets_;
    std::unordered_multimap<FcChar32, int> byHash_;
};

FaceFormat formatOf(FcPattern* pattern)
{
    FcChar8* format = nullptr;
    FcBool outline = FcTrue;
    FcPatternGetBool(pattern, FC_OUTLINE, 0, &outline);
    const QByteArray word = FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) == FcResultMatch && format
                                ? QByteArray(reinterpret_cast<const char*>(format))
                                : QByteArray();
    if (word == "PCF" || word == "BDF" || word == "Windows FNT") return FaceFormat::Bitmap;
    if (word == "Type 1") return FaceFormat::Type1;
    if (word == "TrueType" || word == "CFF" || word == "CFF2") {
        if (!outline) return FaceFormat::Bitmap;
        return word == "TrueType" ? FaceFormat::TrueType : FaceFormat::Cff;
    }
    return FaceFormat::Other;
}

QStringList namesOf(FcPattern* pattern)
{
    QStringList names;
    for (const char* object : {FC_FAMILY, FC_STYLE, FC_FULLNAME, FC_POSTSCRIPT_NAME}) {
        FcChar8* value = nullptr;
        for (int n = 0; FcPatternGetString(pattern, object, n, &value) == FcResultMatch; ++n)
            if (value && *value) {
                const QString name = QString::fromUtf8(reinterpret_cast<const char*>(value));
                if (!names.contains(name)) names << name;
            }
    }
    return names;
}

struct FileIdentity {
    std::int64_t bytes = -1;
    std::int64_t mtimeNs = 0;
};

FileIdentity identityOf(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return {};
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

LinuxFaceSurvey::LinuxFaceSurvey(QString folder) : folder_(std::move(folder)) {}

QString LinuxFaceSurvey::defaultCacheFolder()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return (cache.startsWith(QLatin1Char('/')) ? cache : QDir::homePath() + QStringLiteral("/.cache")) +
           QStringLiteral("/Quillon");
}

QString LinuxFaceSurvey::cacheFile() const
{
    if (folder_.isEmpty()) return {};
    // One file per configuration, so that two configurations used in turn (a test set, a large set) do not
    // replace each other's cache each time.
    QCryptographicHash configuration(QCryptographicHash::Sha1);
    FcConfig* config = FcConfigReference(nullptr);
    if (FcStrList* files = FcConfigGetConfigFiles(config)) {
        while (FcChar8* file = FcStrListNext(files))
            configuration.addData(QByteArrayView(reinterpret_cast<char*>(file)));
        FcStrListDone(files);
    }
    FcConfigDestroy(config);
    return folder_ + QStringLiteral("/faces-") +
           QString::fromLatin1(configuration.result().toHex().left(16)) + QStringLiteral(".cache");
}

void LinuxFaceSurvey::survey(const std::vector<ListedFace>& listed, SurveyReport& report)
{
    QElapsedTimer timer;
    timer.start();
    FcConfig* config = FcConfigReference(nullptr);
    if (!config) {
        report.faces(Survey{std::vector<SurveyedFace>(listed.size()), nullptr});
        report.layout(std::vector<LayoutTags>(listed.size()));
        return;
    }
    auto coverage = std::make_shared<FontconfigCoverage>(config);
    FcConfigDestroy(config); // the coverage holds its own reference

    // Every installed face by file and index; the key of fontconfig's state; which files are collections.
    FcFontSet* set = FcConfigGetFonts(config, FcSetSystem);
    QHash<QByteArray, FcPattern*> byFace;
    QHash<QString, std::pair<QByteArray, int>> byFileName; // lower-cased bare name: the file's first face
    QSet<QByteArray> collections;
    QSet<QByteArray> knownFiles;
    QCryptographicHash state(QCryptographicHash::Sha1);
    state.addData("quillon face survey 1\n");
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        const QByteArray file = patternFile(p);
        const int index = patternInt(p, FC_INDEX, 0);
        state.addData(faceKey(file, index) + ' ' + QByteArray::number(patternInt(p, FC_FONTVERSION, 0)) +
                      '\n');
        if (!byFace.contains(faceKey(file, index))) byFace.insert(faceKey(file, index), p);
        knownFiles.insert(file);
        // A later face of an sfnt file makes it a collection; a Windows .fon holds one face a size.
        if ((index & 0xffff) > 0 && (formatOf(p) == FaceFormat::TrueType || formatOf(p) == FaceFormat::Cff))
            collections.insert(file);
        const QString name = lowerCased(fromNativeBytes(file.mid(file.lastIndexOf('/') + 1)));
        auto named = byFileName.find(name);
        if (named == byFileName.end())
            byFileName.insert(name, {file, index});
        else if (named->first == file && index < named->second)
            named->second = index;
    }
    state.addData("--\n");
    for (const ListedFace& face : listed)
        state.addData(face.name.toUtf8() + '\t' + face.recordFile.toUtf8() + '\n');
    const QByteArray key = state.result().toHex();

    const QString cachePath = cacheFile();
    std::optional<SurveyCacheData> cached;
    if (!cachePath.isEmpty()) {
        QFile file(cachePath);
        if (file.open(QIODevice::ReadOnly) && file.size() <= kMostCacheBytes) {
            cached = parseSurveyCache(file.readAll());
            if (!cached)
                qCDebug(log::fonts) << "the face survey cache" << cachePath << "is not readable: rebuilt";
        }
    }
    // A cache for this very state names only files fontconfig lists; one naming another was not made by a
    // survey, and is not used.
    const bool current = cached && cached->key == key && cached->draws.size() == listed.size() &&
                         std::all_of(cached->files.begin(), cached->files.end(),
                                     [&](const CachedFile& file) { return knownFiles.contains(file.path); });

    // Which face each name draws.
    std::vector<CachedDraw> draws;
    std::vector<CachedFile> files; // one per distinct face of a file among the drawn faces
    QHash<QByteArray, int> fileNumbers;
    if (current) {
        draws = cached->draws;
        files = cached->files;
    } else {
        FaceNameIndex faces;
        draws.reserve(listed.size());
        for (const ListedFace& listedFace : listed) {
            if (report.cancelled()) return;
            QByteArray path;
            int index = 0;
            const auto record = byFileName.constFind(listedFace.recordFile);
            if (const std::optional<FaceChoice> found = faces.find(listedFace.name)) {
                path = nativeBytes(faces.file(found->face));
                index = faces.face(found->face).index;
            } else if (!listedFace.recordFile.isEmpty() && record != byFileName.constEnd()) {
                path = record->first;
                index = record->second;
            } else if (const std::optional<FaceChoice> substitute = faces.substitute(listedFace.name)) {
                path = nativeBytes(faces.file(substitute->face));
                index = faces.face(substitute->face).index;
            }
            if (path.isEmpty()) {
                draws.push_back({-1, 0});
                continue;
            }
            const QByteArray fileKey = faceKey(path, index & 0xffff);
            auto it = fileNumbers.find(fileKey);
            if (it == fileNumbers.end()) {
                it = fileNumbers.insert(fileKey, static_cast<int>(files.size()));
                CachedFile entry;
                entry.path = path;
                entry.face = index & 0xffff;
                files.push_back(std::move(entry));
            }
            draws.push_back({*it, index});
        }
    }

    // What fontconfig holds of each drawn face.
    const QString home = QDir::homePath() + QLatin1Char('/');
    const QString dataHome = XdgPaths::fromEnvironment().dataHome + QLatin1Char('/');
    Survey survey;
    survey.faces.resize(listed.size());
    coverage->charsets.assign(survey.faces.size(), nullptr);
    for (std::size_t i = 0; i < draws.size(); ++i) {
        SurveyedFace& face = survey.faces[i];
        if (draws[i].file < 0) {
            face.names = QStringList{listed[i].name};
            continue;
        }
        const CachedFile& file = files[static_cast<std::size_t>(draws[i].file)];
        face.path = fromNativeBytes(file.path);
        face.index = draws[i].index;
        face.user = face.path.startsWith(home) || face.path.startsWith(dataHome);
        face.collection = collections.contains(file.path) ||
                          face.path.endsWith(QLatin1String(".ttc"), Qt::CaseInsensitive) ||
                          face.path.endsWith(QLatin1String(".otc"), Qt::CaseInsensitive);
        FcPattern* p = byFace.value(faceKey(file.path, draws[i].index), nullptr);
        if (!p) p = byFace.value(faceKey(file.path, file.face), nullptr);
        if (!p) {
            face.names = QStringList{listed[i].name};
            continue;
        }
        face.names = namesOf(p);
        face.format = formatOf(p);
        FcBool colour = FcFalse;
        face.colour = FcPatternGetBool(p, FC_COLOR, 0, &colour) == FcResultMatch && colour;
        const int spacing = patternInt(p, FC_SPACING, FC_PROPORTIONAL);
        face.monospaced = spacing == FC_MONO || spacing == FC_DUAL || spacing == FC_CHARCELL;
        FcLangSet* languages = nullptr;
        if (FcPatternGetLangSet(p, FC_LANG, 0, &languages) == FcResultMatch)
            face.languageSet = coverage->languageSetFor(languages);
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &charset) == FcResultMatch) coverage->charsets[i] = charset;
    }
    survey.coverage = coverage;
    qCDebug(log::fonts).nospace() << "face survey: " << listed.size() << " listed faces drawn from "
                                  << files.size() << " faces of files, " << coverage->languageSetCount()
                                  << " language sets, in " << timer.elapsed() << " ms"
                                  << (current ? " (which face each name draws from the cache)" : "");
    report.faces(std::move(survey));

    // The files' own tags: from the cache when it is current, else read (unless a file is unchanged).
    int read = 0;
    if (!current) {
        QHash<QByteArray, const CachedFile*> earlier;
        if (cached)
            for (const CachedFile& file : cached->files) earlier.insert(faceKey(file.path, file.face), &file);
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (f % 32 == 0) {
                if (report.cancelled()) return;
                report.layoutProgress(static_cast<int>(f), static_cast<int>(files.size()));
            }
            CachedFile& file = files[f];
            const FileIdentity identity = identityOf(file.path);
            file.bytes = std::max<std::int64_t>(identity.bytes, 0);
            file.mtimeNs = identity.mtimeNs;
            const CachedFile* before = earlier.value(faceKey(file.path, file.face), nullptr);
            if (before && before->read && before->bytes == identity.bytes &&
                before->mtimeNs == identity.mtimeNs) {
                file.read = true;
                file.tags = before->tags;
                continue;
            }
            const std::optional<LayoutTags> tags =
                identity.bytes < 0 ? std::nullopt : readLayoutTags(fromNativeBytes(file.path), file.face);
            ++read;
            file.read = tags.has_value();
            file.tags = tags.value_or(LayoutTags{});
            if (!tags)
                qCDebug(log::fonts) << "face survey: cannot read the layout tables of"
                                    << fromNativeBytes(file.path);
        }
        report.layoutProgress(static_cast<int>(files.size()), static_cast<int>(files.size()));
    }
    std::vector<LayoutTags> tags(draws.size());
    for (std::size_t i = 0; i < draws.size(); ++i)
        if (draws[i].file >= 0) tags[i] = files[static_cast<std::size_t>(draws[i].file)].tags;
    qCDebug(log::fonts).nospace() << "face survey: layout tags of " << files.size() << " faces, " << read
                                  << " files read, in " << timer.elapsed() << " ms";
    report.layout(std::move(tags));

    if (!current && !cachePath.isEmpty()) {
        SurveyCacheData data{key, std::move(files), std::move(draws)};
        // A cache that cannot be written costs the next start the reading again, nothing more.
        // Its folder is the user's alone, like the rest of their cache (the writer makes it so); the
        // folders above it are made as usual.
        QString problem;
        if (!QDir().mkpath(QFileInfo(QFileInfo(cachePath).absolutePath()).absolutePath()) ||
            !ReplacingFile::replace(cachePath, serializeSurveyCache(data), &problem))
            qCDebug(log::fonts) << "the face survey cache" << cachePath << "was not written:" << problem;
    }
}

} // namespace quillon::platform
