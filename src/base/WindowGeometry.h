#pragma once
// The measures every window and control of the program is laid out in. Positions and sizes are kept in
// twips, so a layout reads the same whatever the screen; 15 twips are one logical pixel (96 per inch). A
// fixed window's frame (borders and caption) adds a known number of twips around its client area, which
// the placement of one window over another has to count.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cmath>

namespace quillon {

inline constexpr int kTwipsPerPixel = 15;

/// Twips to whole logical pixels, rounded to nearest.
inline int px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
/// A rectangle given in twips, in logical pixels.
inline QRect pxRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}
/// Logical pixels to twips: exact for whole pixels, and for fractions of one (mouse positions).
inline constexpr int twips(int pixels) { return pixels * kTwipsPerPixel; }
inline constexpr double twips(double pixels) { return pixels * kTwipsPerPixel; }
/// A rectangle given in logical pixels, in twips.
inline QRect twipsRect(const QRect& pixels)
{
    return {twips(pixels.x()), twips(pixels.y()), twips(pixels.width()), twips(pixels.height())};
}

/// The frame of a fixed window, twips beyond its client area: both borders across, caption and both
/// borders down.
inline constexpr int kFrameExtraWidth = 90;
inline constexpr int kFrameExtraHeight = 375;

/// The outer size, in logical pixels, of a fixed window whose client area is given in twips.
inline QSize framedSize(int clientWidth, int clientHeight)
{
    return {px(clientWidth + kFrameExtraWidth), px(clientHeight + kFrameExtraHeight)};
}

/// Where a window of outer size `self` goes over an owner's outer rectangle, all in twips: centred on it,
/// then moved `right` and `down`. Halves are dropped toward zero, so the result is whole twips.
inline QPoint placeOver(const QRect& owner, const QSize& self, int right, int down)
{
    return {owner.left() + (owner.width() - self.width()) / 2 + right,
            owner.top() + (owner.height() - self.height()) / 2 + down};
}

/// Where a window whose outer rectangle is `frame` goes so that it lies within `available` (the screen's
/// area less its panels), in the same units: moved as little as it takes; a window larger than the area
/// keeps its top left corner in it, so its caption can be reached.
inline QPoint keptWithin(const QRect& frame, const QRect& available)
{
    const int left =
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int top = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return {left, top};
}

} // namespace quillon
