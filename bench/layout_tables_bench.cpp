// The layout table reader over every sfnt face fontconfig lists on this machine (each face of a collection,
// each variable font's whole-range face once), against FreeType opening the same face and reading its
// GSUB and GPOS lengths (the least a reader of those tables must do), in the same run. Files are in the page
// cache after the first pass, as they are for an index built over the installed faces.
//
// "Tags" is what a filter by feature or axis needs (Detail::Tags); "Everything" what the face information
// and the type tester read (names, where each feature appears). "CjkCollection" is one face of the largest
// collection listed, alone: what opening a window on it costs.
//
//   build/bench/layout_tables_bench [--benchmark_filter=Tags]
#include "opentype/LayoutTables.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <set>
#include <vector>

namespace {

using namespace quillon::opentype;

struct FaceFile {
    QByteArray path;
    int index;
    bool operator<(const FaceFile& o) const { return std::tie(path, index) < std::tie(o.path, o.index); }
};

const std::vector<FaceFile>& sfntFaces()
{
    static const std::vector<FaceFile> faces = [] {
        std::set<FaceFile> unique;
        FcInit();
        FcFontSet* set = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
        for (int i = 0; set && i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            FcChar8* format = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
                FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch)
                continue;
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
            const QByteArray kind(reinterpret_cast<const char*>(format));
            if (kind == "TrueType" || kind == "CFF")
                unique.insert({QByteArray(reinterpret_cast<const char*>(file)), index & 0xffff});
        }
        return std::vector<FaceFile>(unique.begin(), unique.end());
    }();
    return faces;
}

void perFace(benchmark::State& state, std::size_t faces)
{
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["us_per_face"] =
        benchmark::Counter(static_cast<double>(faces) * 1e-6,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void readAll(benchmark::State& state, Detail detail)
{
    std::uint64_t features = 0;
    for (auto _ : state)
        for (const FaceFile& f : sfntFaces())
            if (auto tables = readLayoutTables(f.path, f.index, detail)) features += tables->features.size();
    benchmark::DoNotOptimize(features);
    perFace(state, sfntFaces().size());
}

void Tags(benchmark::State& state) { readAll(state, Detail::Tags); }
void Everything(benchmark::State& state) { readAll(state, Detail::Everything); }

/// The baseline: FreeType opens each face and finds the lengths of its layout tables.
void FreeTypeBaseline(benchmark::State& state)
{
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    std::uint64_t bytes = 0;
    for (auto _ : state)
        for (const FaceFile& f : sfntFaces()) {
            FT_Face face = nullptr;
            if (FT_New_Face(library, f.path.constData(), f.index, &face) != 0) continue;
            for (FT_ULong tag : {TTAG_GSUB, TTAG_GPOS}) {
                FT_ULong length = 0;
                if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0) bytes += length;
            }
            FT_Done_Face(face);
        }
    benchmark::DoNotOptimize(bytes);
    FT_Done_FreeType(library);
    perFace(state, sfntFaces().size());
}

void CjkCollection(benchmark::State& state)
{
    const FaceFile* largest = nullptr;
    qint64 most = 0;
    for (const FaceFile& f : sfntFaces())
        if (f.path.endsWith(".ttc") || f.path.endsWith(".otc"))
            if (const qint64 size = QFile(QString::fromLocal8Bit(f.path)).size(); size > most) {
                most = size;
                largest = &f;
            }
    if (!largest) {
        state.SkipWithError("no collection is installed");
        return;
    }
    std::uint64_t held = 0;
    for (auto _ : state) {
        const Face face = Face::open(largest->path, largest->index);
        benchmark::DoNotOptimize(readLayoutTables(face, Detail::Everything));
        held = face.tableBytes();
    }
    state.SetLabel(largest->path.constData());
    state.counters["table_bytes"] = static_cast<double>(held);
}

} // namespace

BENCHMARK(FreeTypeBaseline)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Tags)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Everything)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(CjkCollection)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
