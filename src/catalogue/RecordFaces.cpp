#include "catalogue/RecordFaces.h"

#include "catalogue/FontCatalogue.h"
#include "platform/FontFileLookup.h"
#include "platform/FontSystem.h"
#include "platform/Log.h"

namespace quillon {

QHash<QString, const FontRecord*> drawingRecords(const FontCatalogue& catalogue)
{
    QHash<QString, const FontRecord*> chosen;
    for (const FontRecord& record : catalogue.records) {
        const FontRecord*& at = chosen[record.face];
        if (!at || ((at->bold || at->italic) && !record.bold && !record.italic)) at = &record;
    }
    return chosen;
}

int drawFacesFromTheirRecords(const FontCatalogue& catalogue, platform::FontSystem& fonts,
                              platform::FontFileLookup& files)
{
    int given = 0;
    const QHash<QString, const FontRecord*> chosen = drawingRecords(catalogue);
    for (auto it = chosen.cbegin(); it != chosen.cend(); ++it) {
        const QString& face = it.key();
        const FontRecord* record = it.value();
        const auto resolved = fonts.resolveFace(face);
        if (!resolved || !resolved->substitute) continue;
        const QString path = files.fontFilePath(record->file);
        if (path.isEmpty() || !fonts.useFileFor(face, path)) continue;
        qCDebug(log::fonts) << "no face is named" << face << "- drawn from its record's file" << path;
        ++given;
    }
    return given;
}

} // namespace quillon
