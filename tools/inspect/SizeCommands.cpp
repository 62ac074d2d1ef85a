#include "tools/inspect/Commands.h"

#include "display/SizeList.h"
#include "display/TextMeasurer.h"
#include "platform/Platform.h"
#include "platform/ScreenFace.h"

#include <cstdio>

namespace quillon::inspect {

int sizes(platform::Platform& platform, const QStringList& args)
{
    if (args.size() != 1) {
        std::fputs("usage: quillon-inspect sizes FACE\n", stderr);
        return 2;
    }
    const QString& face = args.first();
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    // The first record of the face decides, as in the window: its raster sizes, or the standard sizes that
    // render at distinct heights.
    const int record = catalogue.firstRecordOfFace(face);
    ScreenTextMeasurer measurer;
    const bool raster = record >= 0 && !catalogue.recordSizes(record).isEmpty();
    const QStringList entries =
        raster
            ? rasterSizeEntries(catalogue.recordSizes(record))
            : scalableSizeEntries(measurer.heightsFor(platform::screenFaceFont(platform.fontSystem, face)));
    for (const QString& entry : entries) std::printf("%s\n", entry.toUtf8().constData());
    return 0;
}

} // namespace quillon::inspect
