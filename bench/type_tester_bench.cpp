// The type tester's redraws, as a change of a control makes them: the text set again with the new setting and
// painted into an image the size of the window's sample. Beside them, in the same run, Qt painting the same
// text in the same size once (QPainter::drawText, its own font engine warm): the cost of drawing a line of
// text on this machine, which the ratios are against. The goal is a frame (16 ms) for each redraw.
//
//   FeatureToggle   200 characters at 72 pt, a feature turned on and off in turn (both settings' glyphs
//                   drawn before: what a user sees toggling)
//   FeatureFirst    the same, each toggle to a feature not drawn before (its glyphs drawn anew)
//   SliderMove      200 characters at 72 pt, the weight axis one step further each time: every glyph is
//                   drawn anew, since the shapes change with the coordinates
//   waterfall       the nine sizes of the waterfall after a feature toggle, and after a slider step
//   OpenCjk         opening the window on a face of the largest CJK collection: the face read, its layout
//                   tables, the sample set and drawn once
//   QtDrawText      the baseline
//
// Faces: the first variable font fontconfig lists (Inter on a Debian desktop with fonts-inter-variable) and
// the largest .ttc; set QUILLON_BENCH_VARIABLE or QUILLON_BENCH_CJK to a file to choose others.
//
//   QT_QPA_PLATFORM=offscreen build/bench/type_tester_bench
#include "platform/linux/freetype/FreeTypeRasterizer.h"
#include "tester/TesterOutput.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>

namespace {

using namespace quillon;

constexpr double kPoints = 72;
constexpr double kDotsPerInch = 96;
constexpr int kWidth = 1000; // pixels: a large window's sample

QString text200()
{
    const QString words =
        QStringLiteral("Sphinx of black quartz, judge my vow: 0123456789 office affine fjord. ");
    QString out;
    while (out.size() < 200) out += words;
    return out.left(200);
}

QString firstFile(const char* pattern, const QString& override)
{
    if (!override.isEmpty()) return override;
    FcInit();
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    FcObjectSet* os = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, p, os);
    QString best;
    qint64 largest = -1;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        const QString path = QFile::decodeName(reinterpret_cast<const char*>(file));
        const qint64 size = QFile(path).size();
        if (size > largest) largest = size, best = path;
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(p);
    return best;
}

QString variableFile() { return firstFile(":variable=true", qEnvironmentVariable("QUILLON_BENCH_VARIABLE")); }
QString cjkFile() { return firstFile(":lang=ja:fontformat=CFF", qEnvironmentVariable("QUILLON_BENCH_CJK")); }

struct Tester {
    platform::FreeTypeRasterizer rasterizer;
    std::unique_ptr<typeset::Typesetter> typesetter;
    std::unique_ptr<typeset::GlyphPainter> glyphs;
    tester::Sample sample;
    QImage image{kWidth, 1400, QImage::Format_ARGB32_Premultiplied};

    explicit Tester(const QString& file)
    {
        typesetter = typeset::Typesetter::open(rasterizer, file, 0, 0x0409);
        if (typesetter) glyphs = std::make_unique<typeset::GlyphPainter>(*typesetter);
        sample.text = text200();
        sample.points = kPoints;
    }

    /// What the window does for a change: the sample set again and painted.
    void redraw()
    {
        tester::SampleLayout layout;
        layout.lay(*typesetter, sample, kDotsPerInch, kWidth, QGuiApplication::font());
        image.fill(Qt::white);
        QPainter painter(&image);
        layout.paint(painter, *glyphs, QPointF(12, 12), Qt::black);
    }
};

void FeatureToggle(benchmark::State& state, bool fresh, bool waterfall)
{
    Tester t(variableFile());
    if (!t.typesetter) return state.SkipWithError("no variable font");
    t.sample.waterfall = waterfall;
    const char* tags[] = {"ss01", "cv05", "cv11", "zero", "tnum", "salt", "case", "ss02", "ss03", "frac"};
    std::size_t n = 0;
    for (auto _ : state) {
        typeset::FontSettings settings;
        if (fresh) {
            // A new feature each time, and a new size so that no glyph was drawn before.
            settings.setFeature(tags[n % 10], (n / 10) % 2 == 0 ? 1u : 0u);
            t.sample.points = kPoints + static_cast<double>(n % 1000) / 8;
        } else if (n % 2) {
            settings.setFeature("ss01", 1u);
        }
        ++n;
        t.typesetter->setSettings(settings);
        t.redraw();
    }
    state.counters["image_cache_MB"] = static_cast<double>(t.glyphs->cacheBytes()) / (1 << 20);
}

void SliderMove(benchmark::State& state, bool waterfall)
{
    Tester t(variableFile());
    if (!t.typesetter || t.typesetter->tables().axes.empty()) return state.SkipWithError("no variable font");
    t.sample.waterfall = waterfall;
    const opentype::Axis& axis = t.typesetter->tables().axes.front();
    double value = axis.minimum;
    for (auto _ : state) {
        value = value + 1 > axis.maximum ? axis.minimum : value + 1;
        typeset::FontSettings settings;
        settings.setAxis(axis.tag, value);
        t.typesetter->setSettings(settings);
        t.redraw();
    }
}

void OpenCjk(benchmark::State& state)
{
    const QString file = cjkFile();
    if (file.isEmpty()) return state.SkipWithError("no CJK collection");
    for (auto _ : state) {
        Tester t(file);
        if (!t.typesetter) return state.SkipWithError("the collection cannot be opened");
        t.sample.text = QStringLiteral("骨直次 漢字かなカナ 한국어 Latin");
        t.redraw();
    }
    state.SetLabel(file.toStdString());
}

void QtDrawText(benchmark::State& state)
{
    QImage image(kWidth, 1400, QImage::Format_ARGB32_Premultiplied);
    QFont font = QGuiApplication::font();
    font.setPixelSize(static_cast<int>(kPoints * kDotsPerInch / 72));
    const QString text = text200();
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(QRectF(12, 12, kWidth - 24, 1376), Qt::TextWordWrap, text);
    }
}

} // namespace

BENCHMARK(QtDrawText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FeatureToggle, warm, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FeatureToggle, first, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SliderMove, text, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FeatureToggle, waterfall, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SliderMove, waterfall, true)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCjk)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
