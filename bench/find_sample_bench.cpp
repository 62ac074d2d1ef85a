// A row's sample in Find Faces, as the renderer's thread draws it while the results scroll: the face opened
// from its file, the finder's sample for the language set (HarfBuzz shapes, ICU orders) and drawn, at the
// rows' 20 pixels to the em. Beside it, in the same run, the way rows were drawn before text was shaped: the
// face opened alone, each character's glyph from its character map drawn at its advance. The ratios printed
// last are shaped against glyph by glyph, face by face; a page of results is some 15 rows.
//
//   QT_QPA_PLATFORM=offscreen build/bench/find_sample_bench
#include "find/FaceFinder.h"
#include "find/FindResults.h"
#include "find/SampleRenderer.h"
#include "find/WritingSystems.h"
#include "platform/GlyphFace.h"
#include "platform/linux/freetype/FreeTypeGlyphFaces.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace quillon;

constexpr double kPixels = find::FindResultsDelegate::kSampleSize;

struct Row {
    const char* name;
    const char* file;
    int index;
    QString sample;
};

std::vector<Row> rows()
{
    const QString latin = find::FaceFinder::kDefaultSample;
    return {
        {"Latin", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, latin},
        {"Arabic", "/usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf", 0,
         find::languageSample("ar", "Arabic", {})},
        {"Hebrew", "/usr/share/fonts/truetype/noto/NotoSansHebrew-Regular.ttf", 0,
         find::languageSample("he", "Hebrew", {})},
        {"Devanagari", "/usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf", 0,
         find::languageSample("hi", "Devanagari", {})},
        {"Thai", "/usr/share/fonts/truetype/noto/NotoSansThai-Regular.ttf", 0,
         find::languageSample("th", "Thai", {})},
        {"CJK", "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", 0,
         find::languageSample("ja", "Japanese", {})},
    };
}

/// The rows' drawing before shaping, kept here as the baseline.
QImage glyphByGlyph(platform::GlyphFaces& glyphs, const find::SampleRequest& request, int maxWidth = 1600)
{
    const std::unique_ptr<platform::GlyphFace> face = glyphs.open(request.path, request.index);
    if (!face) return {};
    struct Placed {
        platform::GlyphImage glyph;
        double x = 0;
    };
    std::vector<Placed> placed;
    const double scale = request.pixelSize / face->unitsPerEm();
    const int ascent = static_cast<int>(std::ceil(face->ascender() * scale));
    const int descent = static_cast<int>(std::ceil(face->descender() * scale));
    double pen = 0;
    for (char32_t c : request.text.toUcs4()) {
        const unsigned id = face->glyphOf(c);
        std::optional<platform::GlyphImage> glyph = face->image(id, request.pixelSize, 0);
        if (!glyph) continue;
        placed.push_back({std::move(*glyph), pen});
        pen += face->advance(id) * scale;
        if (pen > maxWidth) break;
    }
    const int width = std::clamp(static_cast<int>(std::ceil(pen)), 1, maxWidth);
    QImage out(width, std::max(1, ascent + descent), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    const QRgb rgb = request.colour.rgb();
    for (const Placed& p : placed) {
        if (p.glyph.image.isNull()) continue;
        QImage image = p.glyph.image;
        if (image.format() == QImage::Format_Alpha8) {
            QImage tinted(image.size(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < image.height(); ++y) {
                const uchar* in = image.constScanLine(y);
                auto* line = reinterpret_cast<QRgb*>(tinted.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    line[x] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), in[x]));
            }
            image = tinted;
        }
        painter.drawImage(
            QPoint(static_cast<int>(std::lround(p.x)) + p.glyph.offset.x(), ascent + p.glyph.offset.y()),
            image);
    }
    return out;
}

void drawRow(benchmark::State& state, const Row& row, bool shaped)
{
    if (!QFile::exists(QString::fromUtf8(row.file))) return state.SkipWithError("the face is not installed");
    platform::FreeTypeGlyphFaces glyphs;
    const find::SampleRequest request{
        "", QString::fromUtf8(row.file), row.index, row.sample, kPixels, QColor(Qt::black)};
    for (auto _ : state) {
        const QImage image =
            shaped ? find::SampleRenderer::draw(glyphs, request).image : glyphByGlyph(glyphs, request);
        if (image.isNull()) return state.SkipWithError("the face cannot be opened");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(row.sample.toStdString());
}

/// Prints what the console shows, then each face's shaped time against its glyph-by-glyph time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // With --benchmark_repetitions the median of each stands for it.
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            const std::string& name = run.run_name.function_name;
            const auto slash = name.find('/');
            if (slash != std::string::npos)
                times_[name.substr(slash + 1)][name.substr(0, slash)] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [face, ways] : times_) {
            const auto old = ways.find("GlyphByGlyph"), shaped = ways.find("Shaped");
            if (old != ways.end() && shaped != ways.end() && old->second > 0)
                std::printf("%-12s shaped / glyph by glyph: %.2f\n", face.c_str(),
                            shaped->second / old->second);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> times_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (const Row& row : rows()) {
        benchmark::RegisterBenchmark((std::string("GlyphByGlyph/") + row.name).c_str(),
                                     [row](benchmark::State& state) { drawRow(state, row, false); })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("Shaped/") + row.name).c_str(),
                                     [row](benchmark::State& state) { drawRow(state, row, true); })
            ->Unit(benchmark::kMicrosecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
