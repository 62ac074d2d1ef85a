#include "platform/ScreenFace.h"

#include "platform/ReadableFile.h"

#include <QStringList>

namespace quillon::platform {

std::optional<ResolvedFace> drawnFace(FontSystem& fonts, const QString& faceName)
{
    return fonts.resolveFace(faceName);
}

QFont screenFaceFont(FontSystem& fonts, const QString& faceName)
{
    const std::optional<ResolvedFace> face = drawnFace(fonts, faceName);
    QFont font;
    if (face && !face->family.isEmpty()) {
        // A family name leaves the style to the request; any other name pins the one face the mapper chose,
        // by its style under the family that style belongs to.
        if (face->family.compare(faceName, Qt::CaseInsensitive) == 0 || face->style.isEmpty()) {
            font.setFamilies(QStringList{face->family});
        } else {
            font.setFamilies(QStringList{face->styleFamily.isEmpty() ? face->family : face->styleFamily});
            font.setStyleName(face->style);
        }
    } else {
        font.setFamilies(
            QStringList{faceName}); // one family, taken as it stands: never split at commas into a list
    }
    // Windows' text output draws a face with its own glyphs only; so do the sample, the page and the summary.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

bool drawnFileReadable(FontSystem& fonts, const QString& faceName)
{
    const std::optional<ResolvedFace> face = fonts.resolveFace(faceName);
    if (!face || !face->file.startsWith(QLatin1Char('/'))) return true; // no file of its own to check
    return readableFileSize(face->file).value_or(0) > 0;
}

QString screenFamily(FontSystem& fonts, const QString& name)
{
    const std::optional<ResolvedFace> face = fonts.resolveFace(name);
    return face && !face->family.isEmpty() ? face->family : name;
}

} // namespace quillon::platform
