#include "display/TextMeasurer.h"

#include "base/WindowGeometry.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>

#include <cmath>
#include <cstdint>
#include <memory>

namespace quillon {

namespace {

constexpr double kDotsPerInch = 96.0;

int pixelSizeFor(int pointSize) { return static_cast<int>(std::lround(pointSize * kDotsPerInch / 72.0)); }

// FreeType's fixed-point scaling, which the screen's font engine uses for a face's vertical metrics: the
// scale is pixels (26.6) over units per em as 16.16, and a metric in font units times the scale gives 26.6.
std::int64_t divFix(std::int64_t a, std::int64_t b) { return b == 0 ? 0 : ((a << 16) + b / 2) / b; }
std::int64_t mulFix(std::int64_t a, std::int64_t b) { return (a * b + 0x8000) >> 16; }

double scaledPixels(std::int64_t units, int pixels, std::int64_t unitsPerEm)
{
    return mulFix(units, divFix(static_cast<std::int64_t>(pixels) * 64, unitsPerEm)) / 64.0;
}

} // namespace

HeightAt ScreenTextMeasurer::heightsFor(const QFont& font)
{
    // The face as the screen resolves the font, once; read at one pixel per font unit its ascent and descent
    // come out in font units, from which every size follows without asking the font matcher again.
    QRawFont raw = QRawFont::fromFont(font);
    std::int64_t unitsPerEm = 0;
    std::int64_t ascent = 0;
    std::int64_t descent = 0;
    if (raw.isValid() && raw.unitsPerEm() >= 16 && raw.unitsPerEm() <= 16384) {
        unitsPerEm = static_cast<std::int64_t>(std::lround(raw.unitsPerEm()));
        raw.setPixelSize(static_cast<qreal>(unitsPerEm));
        if (raw.isValid() && std::abs(raw.pixelSize() - unitsPerEm) < 0.01) {
            ascent = std::llround(raw.ascent());
            descent = std::llround(raw.descent());
        } else {
            unitsPerEm = 0; // a bitmap face that cannot be scaled
        }
    }
    return [font, unitsPerEm, ascent, descent](int pointSize) -> double {
        if (pointSize <= 0) return -1;
        const int pixels = pixelSizeFor(pointSize);
        if (unitsPerEm > 0) {
            // The engine rounds the ascent and the descent each to whole pixels.
            const double height = std::round(scaledPixels(ascent, pixels, unitsPerEm)) +
                                  std::round(scaledPixels(descent, pixels, unitsPerEm));
            return twips(height);
        }
        // Bitmap faces come in a few sizes only: ask the screen's own metrics at this size.
        QFont sized = font;
        sized.setPixelSize(pixels);
        return twips(static_cast<double>(QFontMetrics(sized).height()));
    };
}

} // namespace quillon
