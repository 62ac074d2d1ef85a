// font, details and resolve: the font file reader's properties for one file, the details text of one face
// as the main window shows them, and the face its sample draws from.
#include "tools/inspect/Commands.h"

#include "display/FontDetails.h"
#include "fontfile/CFontPreview.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"
#include "platform/ReadableFile.h"
#include "platform/ScreenFace.h"

#include <cstdio>

namespace quillon::inspect {

namespace {

/// Keeps one value on one line: backslash, line feed, carriage return and tab are written escaped.
QString escaped(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

void printField(const char* name, const QString& value)
{
    const QByteArray bytes = platform::nativeBytes(QString::fromLatin1(name) + u'\t' + escaped(value));
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

void printField(const char* name, bool value)
{
    printField(name, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void printLine(const QString& line)
{
    const QByteArray bytes = platform::nativeBytes(escaped(line));
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int font(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1) {
        std::fputs("usage: quillon-inspect font FILE\n", stderr);
        return 2;
    }
    if (const QString problem = platform::whyNotReadable(args[0]); !problem.isEmpty()) {
        std::fprintf(stderr, "quillon-inspect: %s: %s\n", platform::nativeBytes(args[0]).constData(),
                     problem.toLocal8Bit().constData());
        return 2;
    }
    CFontPreview reader(platform.fontSystem);
    reader.setFontFile(args[0]);
    printField("Broadcast", reader.Broadcast());
    printField("FontFile", reader.FontFile());
    printField("Bold", reader.Bold());
    printField("Copyright", reader.Copyright());
    printField("FaceName", reader.FaceName());
    printField("FamilyName", reader.FamilyName());
    printField("FullName", reader.FullName());
    printField("Installed", reader.Installed());
    printField("Italic", reader.Italic());
    printField("StrikeOut", reader.StrikeOut());
    printField("SubFamilyName", reader.SubFamilyName());
    printField("PostscriptName", reader.PostscriptName());
    printField("Trademark", reader.Trademark());
    printField("Underlined", reader.Underlined());
    printField("UniqueIdentifier", reader.UniqueIdentifier());
    printField("ValidTrueTypeFile", reader.ValidTrueTypeFile());
    printField("VersionString", reader.VersionString());
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int details(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1) {
        std::fputs("usage: quillon-inspect details FACE\n", stderr);
        return 2;
    }
    const FontCatalogue catalogue = buildCatalogue(platform);
    FontDetails details(platform.fontSystem, platform.fontFiles);
    const FontDetailsText out = details.describe(args[0], catalogue);
    for (const QString& line : out.lines) printLine(line);
    printField("Copyright", out.copyright);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int resolve(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1) {
        std::fputs("usage: quillon-inspect resolve FACE\n", stderr);
        return 2;
    }
    // The listed faces as the window knows them: a face the clean-up named is drawn from its record's file.
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    const std::optional<platform::ResolvedFace> face = platform::drawnFace(platform.fontSystem, args[0]);
    if (!face) {
        std::fputs("quillon-inspect: no fonts are installed\n", stderr);
        return 2;
    }
    printField("File", face->file);
    printField("Index", QString::number(face->index));
    printField("Family", face->family);
    printField("Style", face->style);
    printField("Substitute", face->substitute);
    // No installed face has the name, but the list names it for this file: drawn from it, not a stand-in.
    if (face->fromRecord) printField("FromRecord", true);
    if (std::fflush(stdout) != 0) return 2;
    if (face->substitute) {
        // Scripts that compare faces must not take the stand-in for the face they asked for.
        std::fprintf(stderr,
                     "quillon-inspect: no installed face is named \"%s\"; it is drawn in %s %s instead\n",
                     platform::nativeBytes(args[0]).constData(), face->family.toUtf8().constData(),
                     face->style.toUtf8().constData());
        return 1;
    }
    return 0;
}

} // namespace quillon::inspect
