#include "display/TextMeasurer.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>

#include <cmath>
#include <memory>

namespace quillon {

namespace {

constexpr double kDotsPerInch = 96.0;
constexpr double kTwipsPerPixel = 15.0;

// The screen's font engine rounds the pixel size, then the ascent and the descent each to whole pixels.
int pixelSizeFor(int pointSize) { return static_cast<int>(std::lround(pointSize * kDotsPerInch / 72.0)); }

QFont baseFont(const QString& face)
{
    QFont font(face);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

HeightAt ScreenTextMeasurer::heightsFor(const QString& face)
{
    QFont font = baseFont(face);
    auto raw = std::make_shared<QRawFont>(QRawFont::fromFont(font));
    return [font, raw](int pointSize) -> double {
        if (pointSize <= 0) return -1;
        const int pixels = pixelSizeFor(pointSize);
        if (raw->isValid()) {
            QRawFont scaled = *raw;
            scaled.setPixelSize(pixels);
            if (scaled.isValid() && std::abs(scaled.pixelSize() - pixels) < 0.01) {
                const double height = std::round(scaled.ascent()) + std::round(scaled.descent());
                return height * kTwipsPerPixel;
            }
        }
        // Bitmap faces cannot be scaled freely: ask the screen's own metrics at this size.
        QFont sized = font;
        sized.setPixelSize(pixels);
        return QFontMetrics(sized).height() * kTwipsPerPixel;
    };
}

} // namespace quillon
