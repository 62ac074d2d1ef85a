#include "catalogue/RecordFaces.h"

#include "catalogue/FontCatalogue.h"
#include "platform/FontFileLookup.h"
#include "platform/FontSystem.h"
#include "platform/Log.h"

#include <map>

namespace quillon {

int drawFacesFromTheirRecords(const FontCatalogue& catalogue, platform::FontSystem& fonts,
                              platform::FontFileLookup& files)
{
    // The record each face would be drawn from: the one without effects, else its first.
    std::map<QString, const FontRecord*> chosen;
    for (const FontRecord& record : catalogue.records) {
        auto [at, added] = chosen.emplace(record.face, &record);
        if (!added && (at->second->bold || at->second->italic) && !record.bold && !record.italic)
            at->second = &record;
    }
    int given = 0;
    for (const auto& [face, record] : chosen) {
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
