#pragma once
// Listed faces whose name no installed face has. The catalogue's clean-up cuts a style off a full name, and
// for some faces what is left is no face's name ("Noto Kufi Arabic Semi" from "... Semi Bold", "Cantarell
// Extra" from "... Extra Bold"): the font system would draw a substitute for it, so the list would name one
// face and show another. The record of such a face names its file, and that file's face is drawn instead.

#include <QHash>
#include <QString>

namespace quillon {

namespace platform {
class FontFileLookup;
class FontSystem;
} // namespace platform
class FontCatalogue;
struct FontRecord;

/// For each face that has records (by the record's face name, as the catalogue keeps it), the record its
/// file is drawn from when no installed face has the name: the one without effects, else the first.
QHash<QString, const FontRecord*> drawingRecords(const FontCatalogue& catalogue);

/// Tells the font system, for each listed face that resolves to no face of its own, the file its record
/// names (the record without effects when there are several, else the first). The details text keeps its
/// own path. Returns how many faces were given their file.
int drawFacesFromTheirRecords(const FontCatalogue& catalogue, platform::FontSystem& fonts,
                              platform::FontFileLookup& files);

} // namespace quillon
