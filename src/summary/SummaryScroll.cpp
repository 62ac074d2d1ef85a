#include "summary/SummaryScroll.h"

#include <algorithm>

namespace quillon {

void SummaryScroll::setFaceCount(int faceCount)
{
    min_ = 0;
    // Max = count - 16 would fall below Min with fewer than a page of faces; the scroll bar then has no
    // room to move, which keeps every key from leaving the first (and only) page.
    max_ = std::max(0, faceCount - kLargeChange);
    value_ = 0;
}

void SummaryScroll::setValue(int value) { value_ = std::clamp(value, min_, max_); }

int SummaryScroll::valueForKey(int key) const
{
    switch (key) {
    case Up:
        return value_ > min_ ? value_ - kSmallChange : value_;
    case Down:
        return value_ < max_ ? value_ + kSmallChange : value_;
    case PageUp: {
        const int v = value_ - kLargeChange;
        return v > min_ ? v : min_;
    }
    case PageDown: {
        const int v = value_ + kLargeChange;
        return v < max_ ? v : max_;
    }
    default:
        return value_;
    }
}

std::vector<int> SummaryScroll::pageRows(int top, int faceCount)
{
    std::vector<int> rows;
    for (int i = 0; i < kLargeChange; ++i) {
        const long long index = static_cast<long long>(top) + i;
        if (index >= faceCount) break;
        if (index >= 0) rows.push_back(static_cast<int>(index));
    }
    return rows;
}

QPointF SummaryScroll::placement(const QRectF& owner, const QSizeF& self)
{
    const double top = (owner.height() - self.height()) / 2.0 + owner.top() + 150.0;
    const double left = (owner.width() - self.width()) / 2.0 + owner.left() + 15.0;
    return {left, top};
}

} // namespace quillon
