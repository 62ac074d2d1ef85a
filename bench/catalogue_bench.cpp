// Building the catalogue from the fonts key view against a bare fontconfig listing of the same fonts
// (family, style, full name, file, format), both on the same fontconfig configuration in the same run.
// Two font sets: "machine" is the system configuration without the Noto packages (which are installed for
// this benchmark only), "large" the whole system configuration. Each catalogue build starts from scratch,
// as at a program start: the view computes its values on first open.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BENCH=ON
//   cmake --build build-bench --target catalogue_bench && build-bench/bench/catalogue_bench
#include "catalogue/FontCatalogue.h"
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "platform/MemoryRegistry.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/registry/FontsKeyView.h"
#include "platform/linux/registry/InstalledFontFiles.h"

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace quillon;
using namespace quillon::platform;

constexpr const char* kMachineConfig = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><glob>*/noto/*</glob></rejectfont></selectfont>
</fontconfig>
)";

FcConfig* fontSet(const std::string& name)
{
    static FcConfig* machine = nullptr;
    static FcConfig* large = nullptr;
    if (name == "large") {
        if (!large) large = FcInitLoadConfigAndFonts();
        return large;
    }
    if (!machine) {
        machine = FcConfigCreate();
        FcConfigParseAndLoadFromMemory(machine, reinterpret_cast<const FcChar8*>(kMachineConfig), FcTrue);
        FcConfigBuildFonts(machine);
    }
    return machine;
}

struct ListedFont {
    std::string family, style, fullName, file, format;
};

std::string text(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, 0, &value) == FcResultMatch ? reinterpret_cast<char*>(value)
                                                                           : std::string();
}

std::vector<ListedFont> bareListing()
{
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FULLNAME, FC_FILE, FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::vector<ListedFont> fonts;
    fonts.reserve(static_cast<std::size_t>(set->nfont));
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        fonts.push_back({text(font, FC_FAMILY), text(font, FC_STYLE), text(font, FC_FULLNAME),
                         text(font, FC_FILE), text(font, FC_FONTFORMAT)});
    }
    FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return fonts;
}

void BM_BareListing(benchmark::State& state, const std::string& set)
{
    FcConfigSetCurrent(fontSet(set));
    std::size_t count = 0;
    for (auto _ : state) {
        auto fonts = bareListing();
        count = fonts.size();
        benchmark::DoNotOptimize(fonts);
    }
    state.counters["fonts"] = static_cast<double>(count);
}

void BM_Catalogue(benchmark::State& state, const std::string& set)
{
    FcConfigSetCurrent(fontSet(set));
    std::size_t records = 0, faces = 0;
    for (auto _ : state) {
        InstalledFontFiles fonts;
        MemoryRegistry registry;
        registry.mount(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                       std::make_unique<FontsKeyView>(fonts));
        LinuxSystemInfo system;
        FontCatalogue catalogue;
        MemoryFaceList fontList;
        FontListLoader(registry, system, catalogue).LoadFontList(fontList);
        records = catalogue.records.size();
        faces = catalogue.fontNames.size();
        benchmark::DoNotOptimize(catalogue);
    }
    state.counters["records"] = static_cast<double>(records);
    state.counters["faces"] = static_cast<double>(faces);
}

/// The view's part alone: listing fontconfig and naming the values.
void BM_FontsKey(benchmark::State& state, const std::string& set)
{
    FcConfigSetCurrent(fontSet(set));
    for (auto _ : state) {
        InstalledFontFiles fonts;
        benchmark::DoNotOptimize(fonts.entries());
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_BareListing, machine, std::string("machine"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Catalogue, machine, std::string("machine"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontsKey, machine, std::string("machine"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareListing, large, std::string("large"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Catalogue, large, std::string("large"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontsKey, large, std::string("large"))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
