#pragma once
// Positions and sizes are kept in twips, as the layout tables give them; 15 twips are one logical pixel.

#include <QRect>

#include <cmath>

namespace quillon {

inline constexpr int kTwipsPerPixel = 15;

inline int px(int twips) { return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))); }
inline int twips(int pixels) { return pixels * kTwipsPerPixel; }
inline QRect pxRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

} // namespace quillon
