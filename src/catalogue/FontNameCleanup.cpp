#include "catalogue/FontNameCleanup.h"

namespace quillon {

namespace {

/// 1-based position of the first occurrence, 0 when there is none.
qsizetype position(const QString& text, QStringView what) { return text.indexOf(what) + 1; }

/// Whether a match at 1-based position p stands at the start of a word: past the name's second character
/// and right after a blank. A style word glued to the word before it ("SemiBold", "DemiItalic",
/// "-BoldItalic") is part of the face's name, and cutting there would list a name no face has.
bool startsWord(const QString& text, qsizetype p) { return p > 2 && text.at(p - 2) == u' '; }

/// Keeps the first p - 2 characters: the blank before the match goes too, with everything after it.
void cutAt(QString& text, qsizetype p) { text.truncate(p - 2); }

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
    if (startsWord(name, p)) cutAt(name, p);

    // Italic before Bold: "Bold Italic" gives both flags, "Italic Bold" only bold. Only a name that ends
    // in the word can have its first occurrence end it, so the search is skipped for the others.
    if (name.endsWith(u"Italic")) {
        p = position(name, u"Italic");
        if (p + 5 == name.size() && startsWord(name, p)) {
            cutAt(name, p);
            result.italic = true;
        }
    }
    if (name.endsWith(u"Bold")) {
        p = position(name, u"Bold");
        if (p + 3 == name.size() && startsWord(name, p)) {
            cutAt(name, p);
            result.bold = true;
        }
    }

    for (QStringView word : {u"Normal", u"& "}) {
        p = position(name, word);
        if (startsWord(name, p)) cutAt(name, p);
    }

    // A size list starts a word too, so "8," inside "18," is no match. Every size ends in a comma, and
    // cutting only shortens the name, so without one there is none.
    for (QStringView size : {u"8,", u"9,", u"10,", u"11,", u"12,"}) {
        if (!name.contains(u',')) break;
        p = position(name, size);
        if (startsWord(name, p)) {
            result.sizes = ExtractSizes(name.mid(p - 1));
            cutAt(name, p);
        }
    }

    result.face = name;
    return result;
}

} // namespace quillon
