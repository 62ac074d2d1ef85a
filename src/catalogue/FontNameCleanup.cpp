#include "catalogue/FontNameCleanup.h"

namespace quillon {

namespace {

/// 1-based position of the first occurrence, 0 when there is none.
qsizetype position(const QString& text, QStringView what)
{
    return text.indexOf(what) + 1;
}

/// Keeps the first p - 2 characters: the character before the match (normally a blank) goes too.
void cutAt(QString& text, qsizetype p)
{
    // A character outside the basic plane is two UTF-16 units: keep all of one rather than half of it
    // (keeping it rather than dropping it, so that the face is never empty).
    const bool splitsPair = p - 2 < text.size() && p > 2 && text.at(p - 3).isHighSurrogate();
    text.truncate(splitsPair ? p - 1 : p - 2);
}

} // namespace

QString ExtractSizes(const QString& tail)
{
    qsizetype p = position(tail, u" ");
    if (p >= 2) return tail.left(p - 1);
    p = position(tail, u"(");
    if (p >= 2) return tail.left(p - 1);
    return tail;
}

CleanedFontName cleanFontName(const QString& entryName)
{
    CleanedFontName result;
    QString name = entryName;

    qsizetype p = name.indexOf(u'(') + 1;
    if (p > 2) cutAt(name, p);

    // Italic before Bold: "Bold Italic" gives both flags, "Italic Bold" only bold. Only a name that ends
    // in the word can have its first occurrence end it, so the search is skipped for the others.
    if (name.endsWith(u"Italic")) {
        p = position(name, u"Italic");
        if (p + 5 == name.size() && p > 2) {
            cutAt(name, p);
            result.italic = true;
        }
    }
    if (name.endsWith(u"Bold")) {
        p = position(name, u"Bold");
        if (p + 3 == name.size() && p > 2) {
            cutAt(name, p);
            result.bold = true;
        }
    }

    for (QStringView word : {u"Normal", u"& "}) {
        p = position(name, word);
        if (p > 2) cutAt(name, p);
    }

    // In this order "8," also matches inside "18,"; the later matches cut again and their sizes win.
    // Every size ends in a comma, and cutting only shortens the name, so without one there is none.
    for (QStringView size : {u"8,", u"9,", u"10,", u"11,", u"12,"}) {
        if (!name.contains(u',')) break;
        p = position(name, size);
        if (p > 2) {
            result.sizes = ExtractSizes(name.mid(p - 1));
            cutAt(name, p);
        }
    }

    result.face = name;
    return result;
}

} // namespace quillon
