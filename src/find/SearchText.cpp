#include "find/SearchText.h"

#include <QRegularExpression>

#include <algorithm>
#include <unordered_set>

namespace quillon::find {

namespace {

/// The combining marks that are accents on Latin, Greek and Cyrillic letters. Marks of other scripts
/// (Japanese voicing, Indic vowel signs) change the letter and stay.
bool isAccent(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

} // namespace

QString foldedForSearch(const QString& text)
{
    // Nearly every name is ASCII: lower-cased as it stands.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        QString out = text;
        for (QChar& c : out)
            if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 0x20);
        return out;
    }
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString kept;
    kept.reserve(decomposed.size());
    for (char32_t c : decomposed.toUcs4())
        if (!isAccent(c)) kept.append(QString::fromUcs4(&c, 1));
    return kept.normalized(QString::NormalizationForm_C).toCaseFolded();
}

QStringList searchWords(const QString& text)
{
    return foldedForSearch(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

std::vector<char32_t> requiredCharacters(const QString& text)
{
    std::vector<char32_t> out;
    std::unordered_set<char32_t> seen; // a pasted page of text must not cost its length squared
    for (char32_t c : text.toUcs4())
        if (c != u'\n' && c != u'\r' && c != u'\t' && seen.insert(c).second) out.push_back(c);
    return out;
}

} // namespace quillon::find
