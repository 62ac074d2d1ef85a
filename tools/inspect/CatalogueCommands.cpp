// faces and records: the installed font catalogue as the main window builds it, on the machine's fonts.
#include "tools/inspect/Commands.h"

#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "catalogue/RecordFaces.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"

#include <cstdio>

namespace quillon::inspect {

namespace {

bool noArguments(const char* command, const QStringList& args)
{
    if (args.isEmpty()) return true;
    std::fprintf(stderr, "quillon-inspect: %s takes no arguments\n", command);
    return false;
}

void printLine(const QString& line)
{
    const QByteArray bytes = platform::nativeBytes(line); // a file name's bytes as they are
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

QString boolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace

FontCatalogue buildCatalogue(platform::Platform& platform)
{
    FontCatalogue catalogue;
    MemoryFaceList fontList;
    FontListLoader(platform.registry, platform.systemInfo, catalogue).LoadFontList(fontList);
    return catalogue;
}

FontCatalogue buildCatalogueAsDrawn(platform::Platform& platform)
{
    FontCatalogue catalogue = buildCatalogue(platform);
    drawFacesFromTheirRecords(catalogue, platform.fontSystem, platform.fontFiles);
    return catalogue;
}

int faces(platform::Platform& platform, const QStringList& args)
{
    if (!noArguments("faces", args)) return 2;
    for (const QString& face : buildCatalogue(platform).fontNames) printLine(face);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int records(platform::Platform& platform, const QStringList& args)
{
    if (!noArguments("records", args)) return 2;
    const FontCatalogue catalogue = buildCatalogue(platform);
    for (const FontRecord& r : catalogue.records)
        printLine(r.face + u'\t' + r.file + u'\t' + boolText(r.bold) + u'\t' + boolText(r.italic) + u'\t' +
                  r.sizes);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

} // namespace quillon::inspect
