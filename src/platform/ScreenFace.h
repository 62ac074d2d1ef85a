#pragma once
// The font a listed face is drawn with, on the screen and on paper. The list holds family names and full names ("Noto Sans
// Takri Regular"); Qt's matcher knows only families, and given a full name it would quietly draw its default
// face instead. So the name goes through the font mapper, as a font request's face-name field, and the face
// it picks is named to Qt by family and, for a full name, by style as well.

#include <QFont>
#include <QString>

namespace quillon::platform {

class FontSystem;

/// The face the mapper picks for `faceName`, as a QFont that draws with that face's glyphs only. The size
/// is left as QFont's default; bold and italic on the result pick a family's own bold and italic faces when
/// the name was a family name.
QFont screenFaceFont(FontSystem& fonts, const QString& faceName);

/// The family of the face the mapper picks for `name`, or its substitute when no face has the name; `name`
/// itself when the font system has no fonts at all.
QString screenFamily(FontSystem& fonts, const QString& name);

} // namespace quillon::platform
