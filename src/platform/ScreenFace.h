#pragma once
// The font a listed face is drawn with: the sample, the size list's measurements, the printed page and the
// summary all ask here, so that what is drawn, measured and printed is one face. The list holds family
// names and full names ("Noto Sans Takri Regular"); Qt's matcher knows only families, and given a full
// name it would quietly draw its default face instead. So the whole name goes through the font system's
// resolution (FontSystem::resolveFace), and the face it picks is named to Qt by family and, for a full
// name, by style as well. Only the details text asks through the font request's 31-character face-name
// field; nothing that draws is limited by it, or long names sharing their first 31 characters ("Noto Sans
// Display ExtraCondensed Black" and "... Thin") would all draw one face.

#include "platform/FontSystem.h"

#include <QFont>
#include <QString>

#include <optional>

namespace quillon::platform {

/// The face that a listed name draws from: the face with that family or full name, or the substitute
/// drawn in its place (`substitute` set); nullopt only when the font system has no fonts at all.
std::optional<ResolvedFace> drawnFace(FontSystem& fonts, const QString& faceName);

/// The font that draws `faceName` with the face drawnFace picks, with that face's glyphs only (a
/// character the face lacks shows as its own missing-glyph mark). The size is left as QFont's default;
/// bold and italic on the result pick a family's own bold and italic faces when the name was a family
/// name.
QFont screenFaceFont(FontSystem& fonts, const QString& faceName);

/// Whether the file `faceName` is drawn from can still be read: false when it was deleted, emptied or
/// replaced by something that is no file since the fonts were listed. Such a face is drawn in nothing, as
/// Qt would otherwise draw whatever face it falls back to.
bool drawnFileReadable(FontSystem& fonts, const QString& faceName);

/// The family of the face the mapper picks for `name`, or its substitute when no face has the name; `name`
/// itself when the font system has no fonts at all.
QString screenFamily(FontSystem& fonts, const QString& name);

} // namespace quillon::platform
