#include "typeset/Characters.h"

#include <QStringList>

#include <unordered_set>

namespace quillon::typeset {

std::vector<char32_t> charactersOf(const QString& text)
{
    std::vector<char32_t> out;
    std::unordered_set<char32_t> seen; // a pasted book has a few thousand distinct characters at most
    for (char32_t c : text.toUcs4()) {
        if (c == U'\n' || c == U'\r' || c == U'\t') continue;
        if (seen.insert(c).second) out.push_back(c);
    }
    return out;
}

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString describeCharacters(const std::vector<char32_t>& characters)
{
    QStringList parts;
    for (char32_t c : characters) {
        // A control or a blank would not show as itself: the code alone says which it is.
        const bool visible = QChar::isPrint(c) && !QChar::isSpace(c);
        parts << (visible ? QString::fromUcs4(&c, 1) + u' ' + codePoint(c) : codePoint(c));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace quillon::typeset
