#include "faceinfo/FaceInfoReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillon::faceinfo {

namespace {

QString number(double v) { return QString::number(v, 'g', 6); }

QStringList tabbed(std::initializer_list<QString> fields) { return QStringList(fields); }

QString tablesOf(const Feature& f)
{
    QStringList tables;
    if (f.substitution) tables << QStringLiteral("GSUB");
    if (f.positioning) tables << QStringLiteral("GPOS");
    return tables.join(u' ');
}

/// "dflt URD SND": the script's language systems, its default first.
QString languageTags(const opentype::Script& s)
{
    QStringList tags{QString::fromLatin1(opentype::kDefaultLanguage)};
    for (const opentype::Language& l : s.languages) tags << QString::fromLatin1(l.tag).trimmed();
    return tags.join(u' ');
}

} // namespace

QStringList reportLines(const FaceInfo& info, const QString& sampleText)
{
    QStringList out;
    auto line = [&](std::initializer_list<QString> fields) { out << tabbed(fields).join(u'\t'); };
    line({QStringLiteral("Face"), info.face});
    for (const FileRow& f : info.files) {
        QString role = f.substitute ? QStringLiteral("drawn (substitute)")
                       : f.drawn    ? QStringLiteral("drawn")
                                    : QString();
        if (f.inRecords) role += role.isEmpty() ? QStringLiteral("listed") : QStringLiteral(", listed");
        line({QStringLiteral("File"), f.path, QString::number(f.index), f.format, f.style, f.version,
              QString::number(f.bytes), role});
    }
    if (info.described < 0) {
        line({QStringLiteral("Described"), QStringLiteral("none: no installed face has this name")});
        return out;
    }
    line({QStringLiteral("Described"), info.files[static_cast<std::size_t>(info.described)].path,
          QString::number(info.files[static_cast<std::size_t>(info.described)].index)});
    for (const NameRow& n : info.names)
        line({QStringLiteral("Name"), QString::number(n.nameID), n.nameWords, n.platform, n.language, n.text,
              n.used ? QStringLiteral("used") : QString()});
    line({QStringLiteral("Glyphs"), QString::number(info.glyphCount)});
    line({QStringLiteral("Characters"), QString::number(info.characterCount)});
    for (const ScriptCount& s : info.scripts)
        line({QStringLiteral("Script"), s.script, QString::number(s.characters)});
    line({QStringLiteral("Languages"), info.languages.join(u' ')});
    if (!sampleText.isEmpty())
        line({QStringLiteral("Missing"), describeCharacters(missingCharacters(info.charset, sampleText))});
    for (const Feature& f : info.features) {
        QStringList fields{QStringLiteral("Feature"), QString::fromLatin1(f.tag), f.name, tablesOf(f)};
        if (!f.fontName.isEmpty()) fields << f.fontName; // the font's own name, where it gives one
        out << fields.join(u'\t');
    }
    for (const opentype::Script& s : info.layoutScripts)
        line({QStringLiteral("LayoutScript"), QString::fromLatin1(s.tag).trimmed(), s.name, languageTags(s)});
    for (const Axis& a : info.axes) {
        QStringList fields{QStringLiteral("Axis"), QString::fromLatin1(a.tag), a.name,
                           number(a.minimum),      number(a.defaultValue),     number(a.maximum)};
        if (a.hidden) fields << QStringLiteral("hidden");
        out << fields.join(u'\t');
    }
    for (const Instance& i : info.instances) {
        QStringList coords;
        for (double c : i.coordinates) coords << number(c);
        line({QStringLiteral("Instance"), i.name, coords.join(u' ')});
    }
    line({QStringLiteral("Colour"), info.colourTables.join(u' ')});
    line({QStringLiteral("Licence"), info.licence});
    line({QStringLiteral("LicenceURL"), info.licenceUrl});
    return out;
}

namespace {

QJsonObject reportObject(const FaceInfo& info, const QString& sampleText)
{
    QJsonObject root;
    root[QStringLiteral("face")] = info.face;
    QJsonArray files;
    for (const FileRow& f : info.files)
        files.append(QJsonObject{{QStringLiteral("path"), f.path},
                                 {QStringLiteral("index"), f.index},
                                 {QStringLiteral("format"), f.format},
                                 {QStringLiteral("style"), f.style},
                                 {QStringLiteral("version"), f.version},
                                 {QStringLiteral("bytes"), static_cast<qint64>(f.bytes)},
                                 {QStringLiteral("folder"), f.folder},
                                 {QStringLiteral("drawn"), f.drawn},
                                 {QStringLiteral("substitute"), f.substitute},
                                 {QStringLiteral("listed"), f.inRecords}});
    root[QStringLiteral("files")] = files;
    root[QStringLiteral("described")] = info.described;
    if (info.described >= 0) {
        QJsonArray names;
        for (const NameRow& n : info.names)
            names.append(QJsonObject{{QStringLiteral("nameID"), n.nameID},
                                     {QStringLiteral("name"), n.nameWords},
                                     {QStringLiteral("platformID"), n.platformID},
                                     {QStringLiteral("platform"), n.platform},
                                     {QStringLiteral("encodingID"), n.encodingID},
                                     {QStringLiteral("languageID"), n.languageID},
                                     {QStringLiteral("language"), n.language},
                                     {QStringLiteral("text"), n.text},
                                     {QStringLiteral("used"), n.used}});
        root[QStringLiteral("names")] = names;
        QJsonObject coverage{{QStringLiteral("glyphs"), info.glyphCount},
                             {QStringLiteral("characters"), info.characterCount},
                             {QStringLiteral("languages"), QJsonArray::fromStringList(info.languages)}};
        QJsonArray scripts;
        for (const ScriptCount& s : info.scripts)
            scripts.append(QJsonObject{{QStringLiteral("script"), s.script},
                                       {QStringLiteral("characters"), s.characters}});
        coverage[QStringLiteral("scripts")] = scripts;
        if (!sampleText.isEmpty()) {
            QJsonArray missing;
            for (char32_t c : missingCharacters(info.charset, sampleText))
                missing.append(QJsonObject{{QStringLiteral("character"), QString::fromUcs4(&c, 1)},
                                           {QStringLiteral("code"), codePoint(c)}});
            coverage[QStringLiteral("missing")] = missing;
        }
        root[QStringLiteral("coverage")] = coverage;
        QJsonArray features;
        for (const Feature& f : info.features) {
            QJsonArray systems;
            for (const opentype::LanguageSystem& l : f.systems)
                systems.append(QString::fromLatin1(l.script + '/' + l.language).trimmed());
            features.append(QJsonObject{{QStringLiteral("tag"), QString::fromLatin1(f.tag)},
                                        {QStringLiteral("name"), f.name},
                                        {QStringLiteral("fontName"), f.fontName},
                                        {QStringLiteral("GSUB"), f.substitution},
                                        {QStringLiteral("GPOS"), f.positioning},
                                        {QStringLiteral("systems"), systems}});
        }
        QJsonArray layoutScripts;
        for (const opentype::Script& s : info.layoutScripts)
            layoutScripts.append(QJsonObject{
                {QStringLiteral("tag"), QString::fromLatin1(s.tag).trimmed()},
                {QStringLiteral("name"), s.name},
                {QStringLiteral("languages"), QJsonArray::fromStringList(languageTags(s).split(u' '))}});
        QJsonArray axes;
        for (const Axis& a : info.axes)
            axes.append(QJsonObject{{QStringLiteral("tag"), QString::fromLatin1(a.tag)},
                                    {QStringLiteral("name"), a.name},
                                    {QStringLiteral("minimum"), a.minimum},
                                    {QStringLiteral("default"), a.defaultValue},
                                    {QStringLiteral("maximum"), a.maximum},
                                    {QStringLiteral("hidden"), a.hidden}});
        QJsonArray instances;
        for (const Instance& i : info.instances) {
            QJsonArray coords;
            for (double c : i.coordinates) coords.append(c);
            instances.append(
                QJsonObject{{QStringLiteral("name"), i.name}, {QStringLiteral("coordinates"), coords}});
        }
        root[QStringLiteral("opentype")] =
            QJsonObject{{QStringLiteral("features"), features},
                        {QStringLiteral("scripts"), layoutScripts},
                        {QStringLiteral("axes"), axes},
                        {QStringLiteral("instances"), instances},
                        {QStringLiteral("colourTables"), QJsonArray::fromStringList(info.colourTables)}};
        root[QStringLiteral("licence")] = QJsonObject{{QStringLiteral("description"), info.licence},
                                                      {QStringLiteral("url"), info.licenceUrl}};
    }
    return root;
}

int describedIndex(const FaceInfo& info)
{
    return info.described < 0 ? -1 : info.files[static_cast<std::size_t>(info.described)].index & 0xffff;
}

} // namespace

QByteArray reportJson(const FaceInfo& info, const QString& sampleText)
{
    return QJsonDocument(reportObject(info, sampleText)).toJson(QJsonDocument::Indented);
}

QStringList collectionReportLines(const std::vector<FaceInfo>& faces, const QString& sampleText)
{
    QStringList out;
    for (const FaceInfo& info : faces) {
        if (!out.isEmpty()) out << QString();
        out << QStringLiteral("Collection\t%1\t%2").arg(describedIndex(info) + 1).arg(info.facesInFile);
        out << reportLines(info, sampleText);
    }
    return out;
}

QByteArray collectionReportJson(const QString& path, const std::vector<FaceInfo>& faces,
                                const QString& sampleText)
{
    QJsonArray array;
    for (const FaceInfo& info : faces) {
        QJsonObject face = reportObject(info, sampleText);
        face[QStringLiteral("faceIndex")] = describedIndex(info);
        array.append(face);
    }
    const QJsonObject root{{QStringLiteral("collection"), path},
                           {QStringLiteral("faceCount"), faces.empty() ? 0 : faces.front().facesInFile},
                           {QStringLiteral("faces"), array}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace quillon::faceinfo
