#include "display/SizeList.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace quillon {

long long roundHalfEven(double value)
{
    if (!std::isfinite(value)) return 0;
    const double clamped =
        std::clamp(value, static_cast<double>(LLONG_MIN / 2), static_cast<double>(LLONG_MAX / 2));
    return static_cast<long long>(std::nearbyint(clamped)); // the default rounding mode is to nearest-even
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

int readSize(const QString& text)
{
    const long long v = roundHalfEven(leadingNumber(text));
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

QStringList rasterSizeEntries(const QString& sizes)
{
    QStringList entries;
    QString rest = sizes;
    while (!rest.isEmpty()) {
        const qsizetype p = rest.indexOf(QLatin1Char(',')) + 1; // 1-based, 0 when absent
        if (p < 2) {
            entries << QString::number(readSize(rest));
            rest.clear();
        } else {
            entries << QString::number(readSize(rest.left(p - 1)));
            rest = rest.mid(p);
        }
    }
    return entries;
}

QStringList scalableSizeEntries(const HeightAt& heightAt)
{
    QStringList entries;
    long long lastTextHeight = 0;
    for (int size : kStandardSizes) {
        const double measured = heightAt(size);
        if (measured < 0) continue;
        const long long h = roundHalfEven(measured);
        if (lastTextHeight >= h) continue;
        entries << QString::number(size);
        lastTextHeight = h;
    }
    return entries;
}

int reselectIndex(const QStringList& entries, int chosenSize, std::vector<int>* visited)
{
    int selected = -1;
    for (int i = 0; i < entries.size(); ++i) {
        selected = i;
        if (visited) visited->push_back(i);
        const int v = readSize(entries[i]);
        if (v == chosenSize) break;
        if (v > chosenSize) {
            if (i > 0) {
                selected = i - 1;
                if (visited) visited->push_back(i - 1);
            }
            break;
        }
    }
    return selected;
}

} // namespace quillon
