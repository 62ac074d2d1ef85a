#pragma once
// The controls keep their measures in twips, as their properties are given; the screen works in logical
// pixels, 15 twips to one.

#include <cmath>

namespace quillon::controls {

inline constexpr int kTwipsPerPixel = 15;

/// Twips to whole logical pixels, rounded to nearest.
inline int toPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }
/// Logical pixels to twips.
inline constexpr double toTwips(double pixels) { return pixels * kTwipsPerPixel; }

} // namespace quillon::controls
