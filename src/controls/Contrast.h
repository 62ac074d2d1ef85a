#pragma once
// Contrast of text against what is behind it, as the accessibility guidelines measure it: the ratio of the
// two colours' relative luminances (each plus 0.05), from 1 (same) to 21 (black on white). Text needs 4.5.

#include <QColor>

namespace quillon::contrast {

inline constexpr double kReadable = 4.5;

/// Relative luminance of an sRGB colour, 0 (black) to 1 (white); alpha is ignored.
double luminance(const QColor& colour);
/// The contrast ratio of two colours, whichever is lighter.
double ratio(const QColor& a, const QColor& b);
/// `text` when it reads on `background` (ratio at least kReadable), else black or white, whichever reads
/// better: a colour a theme chose is kept wherever it works.
QColor readableOn(const QColor& text, const QColor& background);

} // namespace quillon::contrast
