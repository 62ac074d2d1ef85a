// The font mapper's face index on the current fontconfig configuration (FONTCONFIG_FILE picks a set, as
// bench/scale.sh does): the time to build it, the heap it keeps (counted by the C library's allocator, so
// Qt's strings and the index's own arrays alike) per face, and look-ups by family, by full name and by a
// 31-character cut name, over some 500 of the installed faces' names.
//
//   build/bench/face_index_bench                      # counters: bytes_per_face, faces
#include "platform/linux/fonts/FaceNameIndex.h"

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <malloc.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace {

using quillon::platform::FaceNameIndex;

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

int installedFaces()
{
    FcFontSet* set = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    return set ? set->nfont : 0;
}

/// Family and full names of a spread of the installed faces, as the list would ask for them.
QStringList sampleNames(const char* object)
{
    QStringList out;
    FcFontSet* set = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    const int step = set && set->nfont > 500 ? set->nfont / 500 : 1;
    for (int i = 0; set && i < set->nfont; i += step) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(set->fonts[i], object, 0, &value) == FcResultMatch && value)
            out << QString::fromUtf8(reinterpret_cast<const char*>(value));
    }
    return out;
}

void BM_FaceIndexBuild(benchmark::State& state)
{
    FcInit();
    const int faces = installedFaces();
    double bytes = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = heapInUse();
        auto* index = new FaceNameIndex;
        index->find(QStringLiteral("no such family at all")); // built on first use
        bytes = static_cast<double>(heapInUse() - before);
        state.PauseTiming();
        delete index;
        state.ResumeTiming();
    }
    state.counters["faces"] = faces;
    state.counters["bytes_per_face"] = faces > 0 ? bytes / faces : 0;
}

void lookUps(benchmark::State& state, const QStringList& names, int cutTo)
{
    FaceNameIndex index;
    index.find(QStringLiteral("x"));
    for (auto _ : state)
        for (const QString& name : names)
            benchmark::DoNotOptimize(index.find(cutTo ? name.left(cutTo) : name, cutTo));
    state.SetItemsProcessed(state.iterations() * names.size());
}

void BM_FindFamily(benchmark::State& state) { lookUps(state, sampleNames(FC_FAMILY), 0); }
void BM_FindFullName(benchmark::State& state) { lookUps(state, sampleNames(FC_FULLNAME), 0); }
void BM_FindCut(benchmark::State& state) { lookUps(state, sampleNames(FC_FULLNAME), 31); }

} // namespace

BENCHMARK(BM_FaceIndexBuild)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FindFamily)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindFullName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindCut)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
