#pragma once
// The type tester's sample laid out and given away: the text set in the face at one size (lines broken to a
// width) or as a waterfall of sizes, each line labelled; drawn on a screen, into an image, or into a PDF
// whose glyphs are the face's own outlines with the settings named on the page. The window and
// quillon-inspect render share it.

#include "typeset/GlyphPainter.h"
#include "typeset/Typesetter.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class QPainter;

namespace quillon::tester {

/// The sizes of the waterfall, points.
inline constexpr std::array<double, 9> kWaterfallSizes{8, 10, 12, 14, 18, 24, 36, 48, 72};

struct Sample {
    QString face;  // the face's name as listed
    QString file;  // the file it is drawn from
    int index = 0; // its face index in the file, as FreeType takes it
    QString text;
    double points = 48;
    bool waterfall = false; // the first line of the text at each of kWaterfallSizes, labelled
};

/// The sample set for one width: shaped once, drawn as often as needed.
class SampleLayout {
public:
    /// Sets the sample at `dotsPerInch` (96 on a screen at its usual scale, 72 for a PDF in points) within
    /// `width` pixels (0: lines as long as they run; a waterfall's lines are never broken). `labels` is the
    /// font the waterfall's sizes are written in.
    void lay(const typeset::Typesetter& typesetter, const Sample& sample, double dotsPerInch, double width,
             const QFont& labels);
    /// The room it takes, pixels.
    QSizeF size() const { return size_; }
    /// Draws it from `topLeft`; only what falls inside the painter's clip costs anything. `outlines`: the
    /// glyphs as outlines (a PDF).
    void paint(QPainter& painter, typeset::GlyphPainter& glyphs, QPointF topLeft, const QColor& ink,
               bool outlines = false) const;

    struct Block {
        typeset::ShapedText text;
        double pixelSize = 0;
        double top = 0; // from the layout's top, pixels
        QString label;  // a waterfall line's size; empty for the plain sample
    };
    const std::vector<Block>& blocks() const { return blocks_; }
    /// Room left of the lines for a waterfall's sizes, pixels; 0 for the plain sample.
    double labelWidth() const { return labelWidth_; }

private:
    std::vector<Block> blocks_;
    QSizeF size_;
    QFont labels_;
    double labelWidth_ = 0;
};

/// "Size: 48 pt", "Features: smcp, -liga", "Axes: wght=650", "Script: Arabic (arab)", "Language: Urdu (URD)":
/// what a reader of the page needs to set the same text again.
QStringList settingsWords(const typeset::Typesetter& typesetter, const Sample& sample);

/// The sample drawn at `dotsPerInch`, black on white with a margin, lines at most `maxWidth` pixels long (0:
/// as long as they run). Null when the image would hold more than kMostImagePixels.
QImage sampleImage(typeset::Typesetter& typesetter, const Sample& sample, double dotsPerInch, double maxWidth,
                   const QFont& labels);
inline constexpr qint64 kMostImagePixels = qint64{64} << 20;

/// Writes the sample as an A4 PDF to `path`, replacing it only once the whole file is written: a heading
/// naming the face, its file and the settings (in `labels`), then the text flowing over as many pages as it
/// needs, in the face's own outlines. Empty when it was written, else why not.
QString writeSamplePdf(typeset::Typesetter& typesetter, const Sample& sample, const QString& path,
                       const QFont& labels);

} // namespace quillon::tester
