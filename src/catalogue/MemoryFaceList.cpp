#include "catalogue/MemoryFaceList.h"

#include <algorithm>

namespace quillon {

namespace {

/// QString::compare ignoring case, with a quick path for ASCII text, where folding case is lower-casing.
/// Qt compares the case-folded units one by one, so the first difference decides in both.
int compareIgnoringCase(const QString& a, const QString& b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        char16_t x = pa[i].unicode();
        char16_t y = pb[i].unicode();
        if ((x | y) >= 0x80) return QString::compare(a, b, Qt::CaseInsensitive);
        if (x == y) continue;
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

void MemoryFaceList::addItem(const QString& text)
{
    const auto at =
        std::upper_bound(items_.begin(), items_.end(), text,
                         [](const QString& a, const QString& b) { return compareIgnoringCase(a, b) < 0; });
    items_.insert(at, text);
}

void MemoryFaceList::removeItem(int index)
{
    if (index < 0 || index >= count()) return;
    items_.removeAt(index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
}

} // namespace quillon
