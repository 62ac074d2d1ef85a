// The Find Faces window on the installed faces (FONTCONFIG_FILE picks a set): its first opening with no
// cache (every font file read once, off the window's thread) and with the cache a first opening left, each
// until the faces found are shown and until the feature and axis filters are ready; every keystroke of a name
// search and every filter change through the window's own controls (the handler and the repaint it causes);
// scrolling the results page by page; and the index's memory per face. Baseline, in the same run:
// fontconfig's own listing for a language (FcFontList with ":lang=vi", what fc-list does), the cheapest
// answer to one filter. Prints one line per figure; times in ms, processor time of the window's thread (of
// the whole process for the openings) first, the figure of record on a shared machine, and elapsed time
// after.
//
// usage: find_bench                            (under a display or QT_QPA_PLATFORM=offscreen)
//        QUILLON_FIND_CACHE=DIR find_bench     keeps the survey's cache in DIR between runs
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "controls/Captions.h"
#include "find/FaceFinder.h"
#include "find/FindFaces.h"
#include "find/FindIndex.h"
#include "find/FindResults.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace quillon;

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// Processor time of the whole process and elapsed time since `start`, once `done`.
struct Since {
    double cpu = 0, wall = 0;
};
Since waitFor(const std::function<bool()>& done, QElapsedTimer& clock, double cpuStart)
{
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return {cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart, clock.nsecsElapsed() / 1e6};
}

struct Spread {
    double median = 0, worst = 0;
};

Spread spread(std::vector<double> ms)
{
    if (ms.empty()) return {};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

std::vector<double> wallTimes; // of the changes timed, for the elapsed figures

/// Processor time of the window's thread for one change made through the window: the handler it runs at
/// once, then the repaint it causes. Its elapsed time goes to wallTimes.
double timed(find::FindFaces& window, const std::function<void()> change)
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    change();
    window.repaint();
    wallTimes.push_back(clock.nsecsElapsed() / 1e6);
    return cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
}

int rowOf(QComboBox* list, const QString& data, int role)
{
    for (int r = 0; r < list->count(); ++r)
        if (list->itemData(r, role).toString() == data) return r;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    const QByteArray kept = qgetenv("QUILLON_FIND_CACHE");
    qputenv("XDG_CACHE_HOME", kept.isEmpty() ? (home.path() + "/cache").toUtf8() : kept);
    platform::LinuxPlatform machine;
    // As the program does at its start: with tens of thousands of families, Qt would otherwise search them
    // all for the default font's unknown name at each new font of the window.
    captions::useStandIn(machine.platform().fontSystem, machine.platform().faceRasterizer);
    FontCatalogue catalogue;
    MemoryFaceList names;
    FontListLoader(machine.platform().registry, machine.platform().systemInfo, catalogue).LoadFontList(names);
    std::printf("listed faces: %d\n", static_cast<int>(catalogue.fontNames.size()));

    // Baseline: fontconfig's own listing of the fonts for one language.
    QElapsedTimer clock;
    clock.start();
    const double bareStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=vi"));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* listed = FcFontList(nullptr, pattern, objects);
    const double bare = cpuMs(CLOCK_THREAD_CPUTIME_ID) - bareStart;
    std::printf("baseline FcFontList :lang=vi: %.2f ms (%d fonts)\n", bare, listed ? listed->nfont : 0);
    if (listed) FcFontSetDestroy(listed);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);

    find::FindFaces::Owner owner;
    std::unique_ptr<find::FindIndex> index;
    for (const char* run : {"no cache", "cache"}) {
        const long before = residentKiB();
        index = std::make_unique<find::FindIndex>(machine.platform().faceSurvey, catalogue);
        clock.start();
        const double cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        auto window = std::make_unique<find::FindFaces>(*index, machine.platform(), owner);
        window->show();
        const Since shown = waitFor([] { return true; }, clock, cpu);
        const Since faces =
            waitFor([&] { return index->finder() && window->results()->rowCount() > 0; }, clock, cpu);
        const Since layout = waitFor([&] { return index->finder()->layoutKnown(); }, clock, cpu);
        const long after = residentKiB();
        std::printf(
            "first open (%s): window shown %.1f ms (%.1f), faces shown %.1f ms (%.1f), features and axes "
            "ready %.1f ms (%.1f)\n",
            run, shown.cpu, shown.wall, faces.cpu, faces.wall, layout.cpu, layout.wall);
        if (std::string(run) == "cache") {
            const find::FaceFinder& finder = *index->finder();
            std::printf("index: %zu bytes a face (%d faces); resident memory %.0f bytes a face more after "
                        "the survey\n",
                        finder.memoryBytes() / std::max(1, finder.size()), finder.size(),
                        (after - before) * 1024.0 / std::max(1, finder.size()));
        }
        if (std::string(run) == "no cache") continue;

        // Keystrokes: a name typed, then taken back.
        wallTimes.clear();
        std::vector<double> typing;
        const QString typed = QStringLiteral("noto sans geor");
        for (int n = 1; n <= typed.size(); ++n)
            typing.push_back(timed(*window, [&] { window->nameField->setText(typed.left(n)); }));
        for (int n = static_cast<int>(typed.size()) - 1; n >= 0; --n)
            typing.push_back(timed(*window, [&] { window->nameField->setText(typed.left(n)); }));
        const Spread keys = spread(typing);
        const Spread keysWall = spread(wallTimes);
        std::printf("keystroke in the name field: median %.2f ms, worst %.2f ms (%.2f, %.2f) of %zu\n",
                    keys.median, keys.worst, keysWall.median, keysWall.worst, typing.size());
        wallTimes.clear();

        // Filter changes, each on and off again.
        std::vector<std::pair<QString, double>> changes;
        const auto choose = [&](const QString& label, QComboBox* list, const QString& data, int role) {
            const int row = rowOf(list, data, role);
            if (row < 0) return;
            changes.emplace_back(label, timed(*window, [&] { list->setCurrentIndex(row); }));
            changes.emplace_back(label + QStringLiteral(" off"),
                                 timed(*window, [&] { list->setCurrentIndex(0); }));
        };
        for (const char* lang : {"vi", "ka", "hi"})
            choose(QStringLiteral("language %1").arg(lang), window->writingSystemList,
                   QStringLiteral("lang:") + lang, Qt::UserRole + 1);
        choose(QStringLiteral("script Devanagari"), window->writingSystemList,
               QStringLiteral("script:Devanagari"), Qt::UserRole + 1);
        choose(QStringLiteral("variable"), window->variationList, QStringLiteral("variable"), Qt::UserRole);
        choose(QStringLiteral("axis wght"), window->variationList, QStringLiteral("axis:wght"), Qt::UserRole);
        for (const char* feature : {"smcp", "ss01"}) {
            changes.emplace_back(QStringLiteral("feature %1").arg(feature),
                                 timed(*window, [&] { window->featureList->setEditText(feature); }));
            changes.emplace_back(QStringLiteral("feature off"),
                                 timed(*window, [&] { window->featureList->setEditText(QString()); }));
        }
        changes.emplace_back(QStringLiteral("text \u20bf"),
                             timed(*window, [&] { window->textField->setText(QStringLiteral("\u20bf")); }));
        changes.emplace_back(QStringLiteral("text off"), timed(*window, [&] { window->textField->clear(); }));
        for (QCheckBox* box : {window->colourBox, window->monospacedBox}) {
            changes.emplace_back(box->objectName(), timed(*window, [&] { box->setChecked(true); }));
            changes.emplace_back(box->objectName() + QStringLiteral(" off"),
                                 timed(*window, [&] { box->setChecked(false); }));
        }
        for (int format = 1; format < window->formatList->count(); ++format)
            changes.emplace_back(QStringLiteral("format %1").arg(window->formatList->itemText(format)),
                                 timed(*window, [&] { window->formatList->setCurrentIndex(format); }));
        changes.emplace_back(QStringLiteral("format off"),
                             timed(*window, [&] { window->formatList->setCurrentIndex(0); }));
        changes.emplace_back(QStringLiteral("installed by the user"),
                             timed(*window, [&] { window->originList->setCurrentIndex(1); }));
        changes.emplace_back(QStringLiteral("origin off"),
                             timed(*window, [&] { window->originList->setCurrentIndex(0); }));
        std::vector<double> filterTimes;
        for (const auto& [label, ms] : changes) filterTimes.push_back(ms);
        const Spread filters = spread(filterTimes);
        const auto slowest = std::max_element(
            changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        const Spread filtersWall = spread(wallTimes);
        std::printf("filter change: median %.2f ms, worst %.2f ms (%s) (%.2f, %.2f) of %zu; worst over the "
                    "baseline %.2f\n",
                    filters.median, filters.worst, slowest->first.toUtf8().constData(), filtersWall.median,
                    filtersWall.worst, changes.size(), filters.worst / std::max(bare, 0.001));
        wallTimes.clear();

        // Scrolling: page by page through the results (every face), each page painted at once.
        window->nameField->clear();
        QScrollBar* bar = window->resultsList->verticalScrollBar();
        std::vector<double> pages;
        for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->pageStep()))
            pages.push_back(timed(*window, [&] { bar->setValue(value); }));
        const Spread scroll = spread(pages);
        const Spread scrollWall = spread(wallTimes);
        std::printf("scrolling the results: median %.2f ms, worst %.2f ms a page (%.2f, %.2f) of %zu\n",
                    scroll.median, scroll.worst, scrollWall.median, scrollWall.worst, pages.size());
    }
    return 0;
}
