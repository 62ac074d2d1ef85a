// info, names and coverage: everything about one face, the name records of a font file, and the installed
// faces that have every character of a text.
#include "tools/inspect/Commands.h"

#include "faceinfo/FaceInfoReport.h"
#include "faceinfo/NameWords.h"
#include "platform/FontFacts.h"
#include "platform/FontSystem.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"
#include "platform/ReadableFile.h"

#include <QDir>

#include <cstdio>

namespace quillon::inspect {

namespace {

void printLine(const QString& line)
{
    QString flat = line;
    flat.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    const QByteArray bytes = platform::nativeBytes(flat);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

void writeBytes(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

int finish() { return std::fflush(stdout) == 0 ? 0 : 2; }

/// A font file rather than a face name: it has a folder separator or names a file here.
bool namesFile(const QString& arg)
{
    return arg.contains(QLatin1Char('/')) || platform::whyNotReadable(arg).isEmpty();
}

QString absolute(const QString& path)
{
    return QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path);
}

int fileProblem(const QString& path)
{
    const QString problem = platform::whyNotReadable(path);
    if (problem.isEmpty()) return 0;
    std::fprintf(stderr, "quillon-inspect: %s: %s\n", platform::nativeBytes(path).constData(),
                 problem.toLocal8Bit().constData());
    return 2;
}

} // namespace

int info(platform::Platform& platform, const QStringList& args)
{
    QString target;
    QString text;
    bool json = false;
    bool ok = true;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--json"))
            json = true;
        else if (args[i] == QLatin1String("--text") && i + 1 < args.size())
            text = args[++i];
        else if (target.isNull())
            target = args[i];
        else
            ok = false;
    }
    if (!ok || target.isEmpty()) {
        std::fputs("usage: quillon-inspect info FACE|FILE [--text TEXT] [--json]\n", stderr);
        return 2;
    }
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    faceinfo::FaceInfoReader reader(platform.fontFacts, platform.fontSystem, platform.fontFiles, catalogue);
    if (!namesFile(target)) {
        const faceinfo::FaceInfo result = reader.read(target);
        if (json)
            writeBytes(faceinfo::reportJson(result, text));
        else
            for (const QString& line : faceinfo::reportLines(result, text)) printLine(line);
        return finish();
    }

    const QString path = absolute(target);
    if (int status = fileProblem(path)) return status;
    // Added for the run, as the reader does, so the font system draws from it as from an installed face.
    const int added = platform.fontSystem.AddFontResource(path);
    std::vector<faceinfo::FaceInfo> faces{reader.readFile(path, 0)};
    // Every face of a collection, in file order. A header that claims more faces than the file holds ends
    // at the first face that cannot be read: the count a file states never makes the work larger than the
    // file itself.
    int status = 0;
    const int count = faces.front().described < 0 ? 1 : faces.front().facesInFile;
    for (int face = 1; face < count; ++face) {
        faceinfo::FaceInfo next = reader.readFile(path, face);
        if (next.described < 0) {
            std::fprintf(stderr, "quillon-inspect: %s: face %d of %d cannot be read, nor any after it\n",
                         platform::nativeBytes(path).constData(), face + 1, count);
            status = 2;
            break;
        }
        faces.push_back(std::move(next));
    }
    if (added > 0) platform.fontSystem.RemoveFontResource(path);
    if (faces.front().described < 0) {
        std::fprintf(stderr, "quillon-inspect: %s: not a font file\n",
                     platform::nativeBytes(path).constData());
        return 2;
    }
    if (count == 1) {
        // A single face keeps the plain report, the same as for a face name.
        if (json)
            writeBytes(faceinfo::reportJson(faces.front(), text));
        else
            for (const QString& line : faceinfo::reportLines(faces.front(), text)) printLine(line);
    } else if (json) {
        writeBytes(faceinfo::collectionReportJson(path, faces, text));
    } else {
        for (const QString& line : faceinfo::collectionReportLines(faces, text)) printLine(line);
    }
    const int written = finish();
    return written != 0 ? written : status;
}

int names(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1) {
        std::fputs("usage: quillon-inspect names FILE\n", stderr);
        return 2;
    }
    const QString path = absolute(args[0]);
    if (int status = fileProblem(path)) return status;
    const auto facts = platform.fontFacts.faceFacts(path, 0);
    if (!facts) {
        std::fprintf(stderr, "quillon-inspect: %s: not a font file\n",
                     platform::nativeBytes(path).constData());
        return 2;
    }
    for (int face = 0; face < facts->file.facesInFile; ++face) {
        const auto current = face == 0 ? facts : platform.fontFacts.faceFacts(path, face);
        if (!current) continue;
        for (const sfnt::NameEntry& n : current->names) {
            QStringList fields;
            if (facts->file.facesInFile > 1) fields << QString::number(face);
            fields << QString::number(n.nameID) << faceinfo::nameIdWords(n.nameID)
                   << faceinfo::platformWords(n.platformID) << QString::number(n.encodingID)
                   << faceinfo::languageWords(n.platformID, n.languageID) << n.text;
            printLine(fields.join(u'\t'));
        }
    }
    return finish();
}

int coverage(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1 || args[0].isEmpty()) {
        std::fputs("usage: quillon-inspect coverage TEXT\n", stderr);
        return 2;
    }
    const std::vector<char32_t> wanted = faceinfo::charactersOf(args[0]);
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    for (const QString& face : catalogue.fontNames) {
        const auto resolved = platform.fontSystem.resolveFace(face);
        if (resolved && platform.fontFacts.hasCharacters(resolved->file, resolved->index, wanted))
            printLine(face);
    }
    return finish();
}

} // namespace quillon::inspect
