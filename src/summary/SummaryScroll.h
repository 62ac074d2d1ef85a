#pragma once
// The summary window's scrolling as plain arithmetic: the scroll bar's range for a number of faces, the
// value each navigation key asks for, the face indexes one page shows, and where the window sits against
// the main window. No widgets, so tests and tools use it directly.

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace quillon {

class SummaryScroll {
public:
    /// Rows on one page, which is also the scroll bar's LargeChange.
    static constexpr int kLargeChange = 16;
    static constexpr int kSmallChange = 1;

    /// The navigation keys the window handles (their Windows key codes, so a caller may pass either).
    enum Key { Other = 0, PageUp = 33, PageDown = 34, Up = 38, Down = 40 };

    /// Sets the range for a list of faceCount faces (any count >= 0): Min 0, Max faceCount - 16, so the last
    /// page shows the last 16 faces. With fewer than 16 faces the range is 0..0: the one page shows them all
    /// and nothing scrolls. The value is put back to 0.
    void setFaceCount(int faceCount);

    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    /// Clamps into min..max, as the scroll bar does.
    void setValue(int value);

    /// The value the key asks for from the current one; equal to value() when the key changes nothing.
    /// Up and Down move by one within the range; Page Up and Page Down move by a page and stop at the ends.
    int valueForKey(int key) const;

    /// Indexes of the faces drawn on the page starting at top, row 0 first: at most 16, never an index
    /// outside 0 .. faceCount - 1.
    static std::vector<int> pageRows(int top, int faceCount);

    /// The window's top-left (twips) over the main window's outer rectangle `owner` (twips), for a window of
    /// outer size `self` (twips): centred, 15 twips right and 150 twips down, fractions kept.
    static QPointF placement(const QRectF& owner, const QSizeF& self);

private:
    int min_ = 0;
    int max_ = 0;
    int value_ = 0;
};

} // namespace quillon
