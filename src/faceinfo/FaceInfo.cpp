#include "faceinfo/FaceInfo.h"

#include "faceinfo/NameWords.h"
#include "platform/FontFileLookup.h"
#include "platform/FontSystem.h"
#include "platform/NativeText.h"

#include <algorithm>

namespace quillon::faceinfo {

namespace {

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

bool sameFace(const FileRow& row, const QString& path, int index)
{
    // A named instance of a variable font is drawn from the file's face; the face number is the low 16 bits.
    return row.path == path && (row.index & 0xffff) == (index & 0xffff);
}

FileRow rowOf(const platform::FontFileFacts& f)
{
    FileRow row;
    row.path = f.path;
    row.index = f.index;
    row.format = FaceInfoReader::formatWords(f, false);
    row.style = f.style;
    row.version = FaceInfoReader::versionWords(f.version);
    row.bytes = f.bytes;
    row.folder = folderOf(f.path);
    return row;
}

bool hasCffOutlines(const platform::FaceFacts& facts)
{
    return facts.tables.contains("CFF ") || facts.tables.contains("CFF2");
}

/// The format of a face whose file was opened: its outlines and its axes are known for certain there.
QString openedFormat(const platform::FaceFacts& facts)
{
    platform::FontFileFacts file = facts.file;
    file.variable = file.variable || !facts.layout.axes.empty();
    return FaceInfoReader::formatWords(file, hasCffOutlines(facts));
}

QString textOf(const std::vector<sfnt::NameEntry>& names, int record)
{
    return record < 0 ? QString() : names[static_cast<std::size_t>(record)].text;
}

} // namespace

FaceInfoReader::FaceInfoReader(platform::FontFacts& facts, platform::FontSystem& fonts,
                               platform::FontFileLookup& files, const FontCatalogue& catalogue)
    : facts_(facts), fonts_(fonts), files_(files), catalogue_(catalogue)
{
}

QString FaceInfoReader::formatWords(const platform::FontFileFacts& file, bool cffOutlines)
{
    const QString& f = file.fontFormat;
    QString words;
    if (f == QLatin1String("CFF") || (f == QLatin1String("TrueType") && cffOutlines))
        words = QStringLiteral("OpenType CFF");
    else if (f == QLatin1String("PCF") || f == QLatin1String("BDF") || f == QLatin1String("Windows FNT"))
        words = QStringLiteral("Bitmap (%1)").arg(f);
    else if (f.isEmpty())
        words = QStringLiteral("Unknown");
    else
        words = f;
    if (file.facesInFile > 1)
        words +=
            QStringLiteral(" collection, face %1 of %2").arg((file.index & 0xffff) + 1).arg(file.facesInFile);
    if (file.variable) words += QStringLiteral(", variable");
    return words;
}

QString FaceInfoReader::versionWords(std::uint32_t revision)
{
    if (revision == 0) return {};
    return QString::number(revision / 65536.0, 'f', 3);
}

void FaceInfoReader::gatherFiles(FaceInfo& info, bool lookUpDrawn)
{
    for (const platform::FontFileFacts& f : facts_.installedFacesNamed(info.face))
        info.files.push_back(rowOf(f));

    const QString lowerFace = platform::lowerCased(info.face);
    for (const FontRecord& record : catalogue_.records) {
        if (record.face != lowerFace) continue;
        const QString path = files_.fontFilePath(record.file);
        if (path.isEmpty()) continue;
        bool listed = false;
        for (FileRow& row : info.files)
            if (row.path == path) listed = row.inRecords = true;
        if (listed) continue;
        if (auto facts = facts_.faceFacts(path, 0)) {
            FileRow row = rowOf(facts->file);
            row.inRecords = true;
            info.files.push_back(std::move(row));
        }
    }

    if (const auto resolved = lookUpDrawn ? fonts_.resolveFace(info.face) : std::nullopt) {
        auto it = std::find_if(info.files.begin(), info.files.end(), [&](const FileRow& row) {
            return sameFace(row, resolved->file, resolved->index);
        });
        if (it != info.files.end()) {
            it->drawn = true;
        } else if (auto facts = facts_.faceFacts(resolved->file, resolved->index)) {
            // Not among the faces with the name: a substitute, or a file the program added for a while.
            FileRow row = rowOf(facts->file);
            row.drawn = true;
            row.substitute = resolved->substitute;
            info.files.push_back(std::move(row));
        }
    }

    // A Type 1 file has no revision number for fontconfig to keep; its own version text is read from it.
    for (FileRow& row : info.files)
        if (row.version.isEmpty() && row.format.startsWith(QLatin1String("Type 1")))
            if (auto facts = facts_.faceFacts(row.path, row.index)) row.version = facts->file.versionText;
}

FaceInfo FaceInfoReader::read(const QString& face)
{
    FaceInfo info;
    info.face = face;
    gatherFiles(info, true);
    for (std::size_t i = 0; i < info.files.size() && info.described < 0; ++i)
        if (info.files[i].drawn && !info.files[i].substitute) info.described = static_cast<int>(i);
    for (std::size_t i = 0; i < info.files.size() && info.described < 0; ++i)
        if (!info.files[i].substitute) info.described = static_cast<int>(i);
    if (info.described < 0) return info;

    FileRow& described = info.files[static_cast<std::size_t>(info.described)];
    if (auto facts = facts_.faceFacts(described.path, described.index)) {
        described.format = openedFormat(*facts);
        if (described.version.isEmpty()) described.version = facts->file.versionText;
        describe(info, *facts);
    }
    return info;
}

FaceInfo FaceInfoReader::readFile(const QString& path, int index, bool lookUpDrawn)
{
    FaceInfo info;
    const auto facts = facts_.faceFacts(path, index);
    if (!facts) {
        info.face = path;
        return info;
    }
    info.face = facts->file.family.isEmpty() ? path : facts->file.family;
    gatherFiles(info, lookUpDrawn);
    auto it = std::find_if(info.files.begin(), info.files.end(),
                           [&](const FileRow& row) { return sameFace(row, path, index); });
    if (it == info.files.end()) {
        it = info.files.insert(info.files.end(), rowOf(facts->file));
        it->installed = false;
    }
    it->format = openedFormat(*facts);
    if (it->version.isEmpty()) it->version = facts->file.versionText;
    info.described = static_cast<int>(it - info.files.begin());
    describe(info, *facts);
    return info;
}

void FaceInfoReader::describe(FaceInfo& info, const platform::FaceFacts& facts)
{
    info.facesInFile = std::max(1, facts.file.facesInFile);
    const std::uint32_t lcid = fonts_.GetSystemDefaultLCID();
    // The reader's names: copyright to trademark, read for the details and the copyright line.
    std::vector<int> used;
    for (int id = 0; id <= 7; ++id) used.push_back(sfnt::chosenNameRecord(facts.names, id, lcid));

    for (std::size_t i = 0; i < facts.names.size(); ++i) {
        const sfnt::NameEntry& n = facts.names[i];
        NameRow row;
        row.nameID = n.nameID;
        row.platformID = n.platformID;
        row.encodingID = n.encodingID;
        row.languageID = n.languageID;
        row.nameWords = nameIdWords(n.nameID);
        row.platform = platformWords(n.platformID);
        row.language = languageWords(n.platformID, n.languageID);
        row.text = n.text;
        row.used = std::find(used.begin(), used.end(), static_cast<int>(i)) != used.end();
        info.names.push_back(std::move(row));
    }
    std::stable_sort(info.names.begin(), info.names.end(),
                     [](const NameRow& a, const NameRow& b) { return a.nameID < b.nameID; });

    info.glyphCount = facts.glyphCount;
    info.charset = facts.charset;
    info.characterCount = characterCount(facts.charset);
    info.scripts = scriptCounts(facts.charset);
    info.languages = facts.languages;
    info.features = facts.layout.features;
    info.layoutScripts = facts.layout.scripts;
    info.axes = facts.layout.axes;
    info.instances = facts.layout.instances;

    for (const char* tag : {"COLR", "CPAL", "CBDT", "sbix", "SVG "})
        if (facts.tables.contains(tag)) info.colourTables << QString::fromLatin1(tag).trimmed();

    auto nameOf = [&](int nameID) {
        return textOf(facts.names, sfnt::chosenNameRecord(facts.names, nameID, lcid));
    };
    info.licence = nameOf(13);
    info.licenceUrl = nameOf(14);
}

} // namespace quillon::faceinfo
