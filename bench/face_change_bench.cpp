// The whole face change in the main window (size list, re-selection, the sample drawn, details) for the
// installed faces, against the naive measurement of the same face's sixteen sizes: a QFontMetrics of a new
// QFont per size, which asks the font matcher every time. The naive fonts name the face the window draws
// (family, and style for a full name), since Qt's matcher given a full name measures its default face, which
// it has loaded long before. Each face is changed to first, then measured naively, so the naive figure finds
// the one size the window drew already loaded. Every font file is read once before measuring, so neither
// side pays for the disk (the face change comes first and would otherwise pay it alone: a cold 20 MB CJK
// collection costs it some 60 ms). Prints median and worst of each, per face.
// usage: face_change_bench [EVERY_NTH_FACE [both|change|naive]]
//        (run under a display or QT_QPA_PLATFORM=offscreen)
#include "base/FontModule.h"
#include "display/SizeList.h"
#include "display/TextMeasurer.h"
#include "platform/ScreenFace.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/SamplePicture.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Reads every installed font file through once, to bring them all into the page cache.
void warmFontFiles()
{
    FcFontSet* fonts = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    std::vector<char> buffer(1 << 20);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        std::ifstream in(reinterpret_cast<const char*>(file), std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int every = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("both");
    const bool runChange = mode != QLatin1String("naive");
    const bool runNaive = mode != QLatin1String("change");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    quillon::platform::LinuxPlatform machine;
    machine.platform().settings.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
    quillon::FontModule module;
    quillon::FontCatalogue catalogue;
    quillon::ScreenTextMeasurer measurer;
    quillon::Viewer viewer(machine.platform(), module, catalogue, measurer);
    viewer.Form_Load();
    viewer.show();
    QCoreApplication::processEvents();
    warmFontFiles();

    std::vector<double> faceChange;
    std::vector<double> naive;
    std::vector<std::pair<double, QString>> slowest; // face changes, to name the slowest faces
    QElapsedTimer clock;
    for (int i = 0; i < viewer.fontList->count(); i += every) {
        const QString face = viewer.fontList->itemText(i);
        if (runChange) {
            clock.start();
            viewer.fontList->setListIndex(i);
            viewer.displayPicture->picture(); // the sample is drawn when shown
            faceChange.push_back(clock.nsecsElapsed() / 1e6);
            slowest.emplace_back(faceChange.back(), face);
        }
        if (!runNaive) continue;
        const QFont screenFace = quillon::platform::screenFaceFont(machine.platform().fontSystem, face);
        clock.start();
        int sink = 0;
        for (int size : quillon::kStandardSizes) {
            QFont font(screenFace);
            font.setPointSize(size);
            sink += QFontMetrics(font).height();
        }
        naive.push_back(clock.nsecsElapsed() / 1e6);
        if (sink < 0) std::puts("");
    }
    if (faceChange.empty()) faceChange.push_back(0);
    if (naive.empty()) naive.push_back(0);
    const Figures a = summarise(faceChange);
    const Figures b = summarise(naive);
    std::printf("faces measured: %zu of %d\n", faceChange.size(), viewer.fontList->count());
    std::printf("face change (sizes, sample, details): median %.2f ms, worst %.2f ms\n", a.median, a.worst);
    std::printf("naive sixteen sizes:                  median %.2f ms, worst %.2f ms\n", b.median, b.worst);
    std::printf("ratio: median %.3f, worst %.3f\n", a.median / b.median, a.worst / b.worst);
    std::sort(slowest.begin(), slowest.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
    for (std::size_t i = 0; i < std::min<std::size_t>(5, slowest.size()); ++i)
        std::printf("slow face change: %.2f ms %s\n", slowest[i].first,
                    slowest[i].second.toUtf8().constData());
    return 0;
}
