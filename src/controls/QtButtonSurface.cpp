#include "controls/QtButtonSurface.h"

#include "base/WindowGeometry.h"
#include "controls/ButtonPainter.h"
#include "controls/OleColor.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace quillon {

QtButtonSurface::QtButtonSurface(QPainter& painter, const QRect& area, const QPalette& palette,
                                 const QFont& font)
    : painter_(painter), area_(area), palette_(palette), font_(font)
{
    font_.setBold(false);
    // One-pixel rings drawn without smoothing, so three of them 15 twips apart stay three clean lines.
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtButtonSurface::clear() { painter_.fillRect(area_, colour(ButtonPainter::kButtonFace)); }

void QtButtonSurface::ellipse(QPointF centre, double radius, double aspect, std::uint32_t fill,
                              std::uint32_t outline)
{
    QPen pen(colour(outline));
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter_.setPen(pen);
    painter_.setBrush(colour(fill));
    painter_.drawEllipse(box(centre, radius, aspect));
}

void QtButtonSurface::arc(QPointF centre, double radius, double aspect, double start, double end,
                          std::uint32_t value)
{
    // Qt counts sixteenths of a degree, counter-clockwise from 3 o'clock as the arc's angles are given;
    // an arc whose end is below its start runs on through 3 o'clock.
    constexpr double kSixteenthsPerRadian = 16.0 * 180.0 / std::numbers::pi;
    double span = end - start;
    if (span <= 0) span += 2 * std::numbers::pi;
    QPen pen(colour(value));
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawArc(box(centre, radius, aspect), int(std::lround(start * kSixteenthsPerRadian)),
                     int(std::lround(span * kSixteenthsPerRadian)));
}

QSizeF QtButtonSurface::textSize(const QString& text)
{
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(text) * kTwipsPerPixel, metrics.height() * kTwipsPerPixel);
}

void QtButtonSurface::text(QPointF topLeft, const QString& text, std::uint32_t value, bool bold)
{
    QFont font = font_;
    font.setBold(bold);
    painter_.setFont(font);
    painter_.setPen(colour(value));
    const QFontMetricsF metrics(font);
    const QPointF baseline(topLeft.x() / kTwipsPerPixel, topLeft.y() / kTwipsPerPixel + metrics.ascent());
    painter_.drawText(baseline, text);
}

QRectF QtButtonSurface::box(QPointF centre, double radius, double aspect) const
{
    // The radius lies along the longer axis; the other one is scaled by the aspect.
    double rx = radius;
    double ry = radius;
    if (aspect < 1)
        ry = radius * aspect;
    else
        rx = radius / aspect;
    return QRectF((centre.x() - rx) / kTwipsPerPixel, (centre.y() - ry) / kTwipsPerPixel,
                  2 * rx / kTwipsPerPixel, 2 * ry / kTwipsPerPixel);
}

QColor QtButtonSurface::colour(std::uint32_t value) const { return OleColor::toQColor(value, palette_); }

} // namespace quillon
