#include "catalogue/MemoryFaceList.h"

#include <algorithm>
#include <iterator>

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

void MemoryFaceList::addItem(const QString& text) { pending_.append(text); }

void MemoryFaceList::settle() const
{
    if (pending_.isEmpty()) return;
    const auto less = [](const QString& a, const QString& b) { return compareIgnoringCase(a, b) < 0; };
    // Stable sorting and a merge that takes the earlier list's entry first among equals give what inserting
    // each name after its equals, one by one, gives.
    std::stable_sort(pending_.begin(), pending_.end(), less);
    compact();
    QStringList merged;
    merged.reserve(items_.size() + pending_.size());
    std::merge(std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()),
               std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()),
               std::back_inserter(merged), less);
    items_ = std::move(merged);
    pending_.clear();
}

void MemoryFaceList::compact() const
{
    if (gapLength_ == 0) return;
    items_.remove(gapStart_, gapLength_);
    gapStart_ = 0;
    gapLength_ = 0;
}

int MemoryFaceList::count() const
{
    settle();
    return static_cast<int>(items_.size() - gapLength_);
}

QString MemoryFaceList::itemText(int index) const
{
    settle();
    return items_.at(index < gapStart_ ? index : index + gapLength_);
}

const QStringList& MemoryFaceList::items() const
{
    settle();
    compact();
    return items_;
}

void MemoryFaceList::removeItem(int index)
{
    if (index < 0 || index >= count()) return;
    if (gapLength_ == 0) gapStart_ = index;
    // Brings the gap to the entry, moving only the entries between where it was and where it goes.
    for (; gapStart_ < index; ++gapStart_) items_[gapStart_] = std::move(items_[gapStart_ + gapLength_]);
    for (; gapStart_ > index; --gapStart_)
        items_[gapStart_ - 1 + gapLength_] = std::move(items_[gapStart_ - 1]);
    ++gapLength_;
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
}

} // namespace quillon
