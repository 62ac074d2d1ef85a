#include "controls/NumberMask.h"

#include <charconv>
#include <cmath>
#include <string>

namespace quillon {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') ++first;
    while (last > first && text.at(last - 1) == u' ') --last;
    return text.mid(first, last - first);
}

template <typename Number> QString plainDecimal(Number value)
{
    if (!std::isfinite(value)) return QString();
    // Fixed notation with the fewest digits that read back as the same number: never an exponent,
    // never a grouping separator, whatever the locale.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return QString();
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

int NumberMask::ParseFormat(const QString& format)
{
    const qsizetype p = format.indexOf(u';');
    if (p < 0) return int(format.size());
    const QString positive = format.left(p);
    const QString negative = format.mid(p + 1);
    if (positive.size() >= negative.size()) return int(positive.size());
    return int(negative.size() - (negative.endsWith(u')') ? 1 : 0));
}

CleanNumber NumberMask::UnformatNumeric(const QString& text, bool positiveOnly)
{
    const QString trimmed = trimBlanks(text);
    QString result;
    result.reserve(trimmed.size());
    bool pointSeen = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (isDigit(c)) {
            result.append(c);
        } else if (c == u'.') {
            if (!pointSeen) result.append(c);
            pointSeen = true;
        } else if (c == u'-' || c == u'(') {
            if (i == 0) result = QStringLiteral("-");
        }
    }
    CleanNumber clean{result, true};
    if (leadingValue(result) < 0) {
        if (positiveOnly)
            clean.text.remove(0, 1);
        else
            clean.isNonNegative = false;
    }
    return clean;
}

MaskedNumber NumberMask::ApplyFormat(const QString& number, const QString& format, bool isNonNegative,
                                     bool positiveOnly)
{
    // Positions below count from 1, so that 0 means "not there" (indexOf + 1) and a point found first is
    // told apart from none; at(s, i) reads position i.
    QString digits = number;
    QString mask;
    const qsizetype p = format.indexOf(u';');
    if (p < 0)
        mask = format;
    else
        mask = isNonNegative ? format.left(p) : format.mid(p + 1);
    if (!positiveOnly && !isNonNegative && !format.contains(u'(') && !format.contains(u'-'))
        mask.prepend(u'-');

    QString out = mask;
    auto at = [](const QString& s, qsizetype i) { return s.at(i - 1); };

    qsizetype d = out.indexOf(u'.') + 1;
    if (d > 1 && d == out.size()) {
        out.chop(1);
        d = 0;
    }
    qsizetype f = digits.indexOf(u'.') + 1;
    if (f > 1 && f == digits.size()) {
        digits.chop(1);
        f = 0;
    }

    // The fraction is copied from the left over whatever the mask holds there, and cut off.
    if (d > 0 && f > 0) {
        for (qsizetype i = 1; d + i <= out.size() && f + i <= digits.size(); ++i)
            out[d + i - 1] = at(digits, f + i);
    }

    // The integer digits fill the "0" and "#" places from the right; what does not fit is dropped.
    qsizetype g = d == 0 ? out.size() : d - 1;
    qsizetype h = f == 0 ? digits.size() : f - 1;
    while (g > 0 && h > 0) {
        const QChar c = at(out, g);
        if (at(digits, h) == u'-') {
            --h;
            if (h == 0) break;
        }
        if (c == u'0' || c == u'#') {
            out[g - 1] = at(digits, h);
            --h;
        }
        --g;
    }

    // Zeros that merely filled optional places before the first significant digit become optional again.
    for (qsizetype i = 1; i <= out.size(); ++i) {
        const QChar c = at(out, i);
        if ((c >= u'1' && c <= u'9') || c == u'.') break;
        if (c == u'0' && i <= mask.size() && at(mask, i) == u'#') out[i - 1] = u'#';
    }

    // Unfilled places blank out, and so does a separator that only follows blanks or a sign.
    for (qsizetype i = 1; i <= out.size(); ++i) {
        QChar c = at(out, i);
        if (c == u',') {
            const bool leading =
                i == 1 || at(out, i - 1) == u'-' || at(out, i - 1) == u'(' || at(out, i - 1) == u' ';
            if (leading) c = u'#';
        }
        if (c == u'#') out[i - 1] = u' ';
    }
    out = trimBlanks(out);

    // The sign is closed up against the number; anything standing before it goes.
    qsizetype t = out.indexOf(u'(') + 1;
    if (t == 0) t = out.indexOf(u'-') + 1;
    if (t > 0 && t < out.size()) {
        qsizetype n = 0;
        while (t + n + 1 <= out.size() && at(out, t + n + 1) == u' ') ++n;
        if (n > 0) out = at(out, t) + out.mid(t + n);
    }
    return {out, mask};
}

double NumberMask::leadingValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ') ++i;
    std::string number;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) number += char(text.at(i++).unicode());
    bool anyDigit = false;
    while (i < text.size() && isDigit(text.at(i))) {
        number += char(text.at(i++).unicode());
        anyDigit = true;
    }
    if (i < text.size() && text.at(i) == u'.') {
        number += '.';
        ++i;
        while (i < text.size() && isDigit(text.at(i))) {
            number += char(text.at(i++).unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;
    // from_chars, unlike strtod, reads "." as the point whatever locale the program runs in.
    double value = 0.0;
    const char* begin = number.data();
    if (*begin == '+') ++begin;
    auto result = std::from_chars(begin, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits before the point overflow; a long run of zeros after it underflows.
        const std::size_t point = number.find('.');
        const std::string whole = number.substr(0, point);
        const bool large = whole.find_first_of("123456789") != std::string::npos;
        value = large ? HUGE_VAL : 0.0;
        if (number.front() == '-') value = -value;
    }
    return value;
}

QString NumberMask::valueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Double:
        return plainDecimal(value.toDouble());
    case QMetaType::Float:
        return plainDecimal(value.toFloat());
    case QMetaType::Bool:
        // A true boolean is -1 as a number; as text it carries no digits a field could show anyway.
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

} // namespace quillon
