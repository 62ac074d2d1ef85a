// Paging through the summary window on the machine's installed fonts, against the same sixteen rows drawn
// the plain way (a new QFont per row, Qt's font merging on, drawText).
//
// First a sweep: a fresh window pages down from the first face to the last, each page timed; then the plain
// drawing of the same pages, each timed; then the window pages back up over faces it has seen. The sweep
// prints per-page figures and the worst ratio. After it, Google Benchmark times a page of each kind in a
// steady state. The window's sweep runs first, on cold caches, so the plain drawing profits from any font
// the window already loaded: the comparison leans against the window.
//
// Usage: summary_bench [--names=full|family] [--qt-only] [--plain-budget=SECONDS] [--pages-csv=FILE]
//                      [Google Benchmark flags]
//   full (default): the English full names, as the catalogue lists them;
//   family: one row per font family;
//   --qt-only: the window draws every face through Qt instead of the font system and its rasterizer.
//   --plain-budget: processor seconds the plain pages may take; they are then a spread sample of the pages.

#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/freetype/FreeTypeRasterizer.h"
#include "summary/Summary.h"
#include "summary/SummaryPainter.h"
#include "summary/SummaryScroll.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

QStringList installedNames(bool fullNames)
{
    QSet<QString> seen;
    QStringList names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FULLNAME, FC_FULLNAMELANG, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* value = nullptr;
        if (fullNames) {
            // The English full name when the face has one, else its first.
            int chosen = 0;
            FcChar8* lang = nullptr;
            for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FULLNAMELANG, k, &lang) == FcResultMatch;
                 ++k)
                if (std::strcmp(reinterpret_cast<const char*>(lang), "en") == 0) {
                    chosen = k;
                    break;
                }
            if (FcPatternGetString(fonts->fonts[i], FC_FULLNAME, chosen, &value) != FcResultMatch) continue;
        } else if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &value) != FcResultMatch) {
            continue;
        }
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(value));
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return names;
}

QStringList sortedLikeTheWindow(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QImage pageImage(const QImage& like)
{
    QImage image(like.size(), like.format());
    image.setDotsPerMeterX(like.dotsPerMeterX());
    image.setDotsPerMeterY(like.dotsPerMeterY());
    return image;
}

// The plain page: what drawing the rows takes without keeping anything between pages. Stops after the row
// that passes `deadline` (processor ms of this thread) and returns false then.
bool drawNaivePage(QImage& image, const QStringList& sorted, int top, const QString& labelFace,
                   double deadline = INFINITY);

double cpuMs();

bool drawNaivePage(QImage& image, const QStringList& sorted, int top, const QString& labelFace,
                   double deadline)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);
    for (int index : quillon::SummaryScroll::pageRows(top, static_cast<int>(sorted.size()))) {
        const int y = (index - top) * 16;
        QFont label(labelFace);
        label.setPointSize(8);
        painter.setFont(label);
        painter.drawText(QRectF(2, y, 4000, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         sorted.at(index) + QLatin1Char(':'));
        QFont face(sorted.at(index));
        face.setPointSize(8);
        painter.setFont(face);
        painter.drawText(QRectF(120, y, 4000, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         quillon::SummaryPainter::kSample);
        if (cpuMs() > deadline) return false;
    }
    return true;
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct Figures {
    std::vector<double> ms;
    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double total() const
    {
        double sum = 0;
        for (double m : ms) sum += m;
        return sum;
    }
};

// Processor time of this thread: on a shared, busy machine the wall clock mostly measures the other tenants.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Stopwatch {
    QElapsedTimer wall;
    double cpuStart = 0;
    void start()
    {
        cpuStart = cpuMs();
        wall.start();
    }
    void stop(Figures& cpu, Figures& elapsed) const
    {
        elapsed.ms.push_back(static_cast<double>(wall.nsecsElapsed()) / 1e6);
        cpu.ms.push_back(cpuMs() - cpuStart);
    }
};

// Shared with the steady-state benchmarks.
QStringList gNames;
QStringList gSorted;
quillon::Summary* gWindow = nullptr;
double gOpenCpuMs = 0;            // making the window: sorting and storing the names
double gPlainBudgetMs = INFINITY; // processor time the plain pages may take in the sweep

void sweep(const QString& csvPath)
{
    const int count = static_cast<int>(gSorted.size());
    std::vector<int> tops;
    for (int top = 0;; top += quillon::SummaryScroll::kLargeChange) {
        tops.push_back(std::min(top, std::max(0, count - quillon::SummaryScroll::kLargeChange)));
        if (top + quillon::SummaryScroll::kLargeChange >= count) break;
    }

    const long rssBefore = residentKiB();
    Figures cold, naive, warm, coldWall, naiveWall, warmWall;
    Stopwatch watch;
    watch.start();
    gWindow->DrawSummary();
    watch.stop(cold, coldWall);
    for (std::size_t p = 1; p < tops.size(); ++p) {
        watch.start();
        gWindow->Form_KeyDown(quillon::SummaryScroll::PageDown, 0);
        watch.stop(cold, coldWall);
    }
    const long rssAfter = residentKiB();

    // Plain pages, spread over the list (every page when the budget allows): with tens of thousands of
    // families Qt's fallback search for each name it does not know takes seconds, so a large set can only be
    // sampled. A page cut short by the budget keeps its time so far, a lower bound; unvisited pages stay -1.
    QImage image = pageImage(gWindow->picture());
    const QString labelFace = gWindow->labelFace();
    naive.ms.assign(tops.size(), -1);
    naiveWall.ms.assign(tops.size(), -1);
    const double plainDeadline = cpuMs() + gPlainBudgetMs;
    std::vector<bool> visited(tops.size(), false);
    std::size_t plainPages = 0;
    bool cut = false;
    for (std::size_t step = std::bit_ceil(tops.size()); step >= 1 && !cut; step /= 2) {
        for (std::size_t p = 0; p < tops.size() && !cut; p += step) {
            if (visited[p]) continue;
            visited[p] = true;
            Figures one, oneWall;
            watch.start();
            cut = !drawNaivePage(image, gSorted, tops[p], labelFace, plainDeadline);
            watch.stop(one, oneWall);
            naive.ms[p] = one.ms[0];
            naiveWall.ms[p] = oneWall.ms[0];
            ++plainPages;
        }
    }
    for (std::size_t p = 1; p < tops.size(); ++p) {
        watch.start();
        gWindow->Form_KeyDown(quillon::SummaryScroll::PageUp, 0);
        watch.stop(warm, warmWall);
    }

    double worstRatio = 0;
    std::size_t worstPage = 0, overThird = 0;
    for (std::size_t p = 0; p < tops.size(); ++p) {
        if (naive.ms[p] <= 0) continue;
        const double ratio = cold.ms[p] / naive.ms[p];
        if (ratio > worstRatio) {
            worstRatio = ratio;
            worstPage = p;
        }
        if (ratio > 1.0 / 3.0) ++overThird;
    }
    std::printf("faces %d, pages %zu; processor time per page (wall clock in brackets)\n", count,
                tops.size());
    std::printf("window, first visit: median %7.2f ms  max %7.2f ms  total %8.1f ms  (median %7.2f ms)\n",
                cold.median(), cold.max(), cold.total(), coldWall.median());
    Figures plainSeen, plainSeenWall;
    for (std::size_t p = 0; p < tops.size(); ++p)
        if (naive.ms[p] >= 0) {
            plainSeen.ms.push_back(naive.ms[p]);
            plainSeenWall.ms.push_back(naiveWall.ms[p]);
        }
    std::printf("plain drawing:       median %7.2f ms  max %7.2f ms  total %8.1f ms  (median %7.2f ms)"
                "  pages drawn %zu%s\n",
                plainSeen.median(), plainSeen.max(), plainSeen.total(), plainSeenWall.median(), plainPages,
                cut ? ", the last cut short by the budget" : "");
    std::printf("window, seen faces:  median %7.2f ms  max %7.2f ms                     (median %7.2f ms)\n",
                warm.median(), warm.max(), warmWall.median());
    std::printf(
        "worst page ratio window/plain %.3f (page %zu: %.2f ms vs %.2f ms); pages over a third: %zu\n",
        worstRatio, worstPage, cold.ms[worstPage], naive.ms[worstPage], overThird);
    std::printf(
        "summary open: %.2f ms processor time (names sorted and stored %.2f ms, first page %.2f ms)\n",
        gOpenCpuMs + cold.ms[0], gOpenCpuMs, cold.ms[0]);
    std::printf("resident memory: %ld KiB before the sweep, %ld KiB after (%ld KiB for the kept layouts)\n",
                rssBefore, rssAfter, rssAfter - rssBefore);
    if (!csvPath.isEmpty()) {
        QFile csv(csvPath);
        if (csv.open(QIODevice::WriteOnly | QIODevice::Text)) {
            csv.write("page,top,window_first_cpu_ms,plain_cpu_ms,window_first_wall_ms,plain_wall_ms\n");
            for (std::size_t p = 0; p < tops.size(); ++p)
                csv.write(QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                              .arg(p)
                              .arg(tops[p])
                              .arg(cold.ms[p], 0, 'f', 3)
                              .arg(naive.ms[p], 0, 'f', 3)
                              .arg(coldWall.ms[p], 0, 'f', 3)
                              .arg(naiveWall.ms[p], 0, 'f', 3)
                              .toUtf8());
        }
    }
    std::fflush(stdout);
}

void BM_WindowPageSeenFaces(benchmark::State& state)
{
    const int count = static_cast<int>(gSorted.size());
    int key = quillon::SummaryScroll::PageDown;
    for (auto _ : state) {
        // Back and forth over every page; each page was laid out in the sweep.
        if (gWindow->topIndex() >= std::max(0, count - 16)) key = quillon::SummaryScroll::PageUp;
        if (gWindow->topIndex() == 0) key = quillon::SummaryScroll::PageDown;
        gWindow->Form_KeyDown(key, 0);
    }
}
BENCHMARK(BM_WindowPageSeenFaces)->Unit(benchmark::kMillisecond);

void BM_PlainPage(benchmark::State& state)
{
    QImage image = pageImage(gWindow->picture());
    const int count = static_cast<int>(gSorted.size());
    int top = 0;
    for (auto _ : state) {
        drawNaivePage(image, gSorted, top, gWindow->labelFace());
        top += 16;
        if (top >= count) top = 0;
    }
}
BENCHMARK(BM_PlainPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    bool fullNames = true;
    bool qtOnly = false;
    QString csvPath;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--names=full") == 0)
            fullNames = true;
        else if (std::strcmp(argv[i], "--names=family") == 0)
            fullNames = false;
        else if (std::strcmp(argv[i], "--qt-only") == 0)
            qtOnly = true;
        else if (std::strncmp(argv[i], "--plain-budget=", 15) == 0)
            gPlainBudgetMs = std::atof(argv[i] + 15) * 1000;
        else if (std::strncmp(argv[i], "--pages-csv=", 12) == 0)
            csvPath = QString::fromLocal8Bit(argv[i] + 12);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    QApplication app(restCount, rest.data());
    // Qt reads the font list once per process, and the main window has drawn in the ordinary lettering
    // before the summary opens: start-up's costs, not a page's.
    {
        QImage scratch(200, 40, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&scratch);
        QFont ordinary = QApplication::font();
        ordinary.setPointSize(8);
        painter.setFont(ordinary);
        painter.drawText(QPointF(0, 20), QStringLiteral("Ordinary lettering:"));
    }

    gNames = installedNames(fullNames);
    gSorted = sortedLikeTheWindow(gNames);
    quillon::platform::LinuxFontSystem fonts;
    quillon::platform::FreeTypeRasterizer rasterizer;
    // The main window has resolved faces through the font system before the summary opens.
    (void)fonts.resolveFace(QStringLiteral("Sans"));
    // Opening: the window sorts and stores the names; the sweep then draws its first page.
    Stopwatch watch;
    Figures openCpu, openWall;
    watch.start();
    quillon::Summary window(gNames, QRect(0, 0, 800, 600), {});
    if (!qtOnly) window.useFontSystem(&fonts, &rasterizer);
    watch.stop(openCpu, openWall);
    gOpenCpuMs = openCpu.total();
    std::printf("%s names, %s\n", fullNames ? "full" : "family",
                qtOnly ? "window draws through Qt"
                       : "window draws through the font system and its rasterizer");
    gWindow = &window;
    sweep(csvPath);

    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gWindow = nullptr;
    return 0;
}
