// The font file reader's load as the details text makes it (FontFile, then VersionString, Installed and
// Copyright) against FreeType opening the same face and reading the same two name strings, over every sfnt
// file (TrueType or CFF outlines) that fontconfig lists on this machine, both in the same run. Files are in
// the page cache after the first pass, as they are when a user goes from face to face.
//
// "Reader" keeps one font system for the run, as the program does; "ReaderFirstLook" starts each pass with a
// fresh one, so every face's name is looked up in a face index built anew.
//
// "CraftedFile" is the hostile shape that once cost minutes: 65,534 'name' directory entries at one table of
// 4,000 overlapping 60,000-byte records (1.2 MB), and the same padded to 16 MiB; the reader must stay under
// 100 ms of CPU and 64 MiB for any input of that size.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BENCH=ON
//   cmake --build build-bench --target reader_bench && build-bench/bench/reader_bench
#include "fontfile/CFontPreview.h"
#include "platform/linux/fonts/LinuxFontSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H

#include <set>
#include <vector>

namespace {

using quillon::CFontPreview;
using quillon::platform::LinuxFontSystem;

const std::vector<QString>& sfntFiles()
{
    static const std::vector<QString> files = [] {
        std::set<QString> unique;
        FcInit();
        FcFontSet* set = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
        for (int i = 0; set && i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            FcChar8* format = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
                FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch)
                continue;
            const QByteArray kind(reinterpret_cast<const char*>(format));
            if (kind == "TrueType" || kind == "CFF")
                unique.insert(QFile::decodeName(reinterpret_cast<const char*>(file)));
        }
        return std::vector<QString>(unique.begin(), unique.end());
    }();
    return files;
}

void loadAll(benchmark::State& state, LinuxFontSystem& fonts)
{
    for (const QString& path : sfntFiles()) {
        CFontPreview reader(fonts);
        reader.setFontFile(path);
        QString version = reader.VersionString();
        bool installed = reader.Installed();
        QString copyright = reader.Copyright();
        benchmark::DoNotOptimize(version);
        benchmark::DoNotOptimize(installed);
        benchmark::DoNotOptimize(copyright);
    }
    state.SetItemsProcessed(state.items_processed() + static_cast<std::int64_t>(sfntFiles().size()));
}

void perFile(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(sfntFiles().size()));
    state.counters["files"] = static_cast<double>(sfntFiles().size());
    state.counters["us_per_file"] =
        benchmark::Counter(static_cast<double>(sfntFiles().size()) * 1e-6,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Reader(benchmark::State& state)
{
    LinuxFontSystem fonts;
    for (auto _ : state) loadAll(state, fonts);
    perFile(state);
}
BENCHMARK(Reader)->Unit(benchmark::kMillisecond);

void ReaderFirstLook(benchmark::State& state)
{
    for (auto _ : state) {
        LinuxFontSystem fonts;
        loadAll(state, fonts);
    }
    perFile(state);
}
BENCHMARK(ReaderFirstLook)->Unit(benchmark::kMillisecond);

/// The text of the record a name lookup would choose, decoded the plain way.
QString freetypeName(FT_Face face, FT_UShort id)
{
    QString result;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name{};
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != id) continue;
        QString text;
        if (name.platform_id == 0 || name.platform_id == 3)
            for (FT_UInt k = 0; k + 1 < name.string_len; k += 2)
                text.append(QChar(static_cast<char16_t>(name.string[k] << 8 | name.string[k + 1])));
        else
            text = QString::fromLatin1(reinterpret_cast<const char*>(name.string), name.string_len);
        if (name.platform_id == 3) {
            result = text;
            if (name.language_id == 0x0409) break;
        } else if (result.isEmpty()) {
            result = text;
        }
    }
    return result;
}

void FreeType(benchmark::State& state)
{
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    for (auto _ : state) {
        for (const QString& path : sfntFiles()) {
            FT_Face face = nullptr;
            if (FT_New_Face(library, QFile::encodeName(path).constData(), 0, &face) != 0) continue;
            QString version = freetypeName(face, 5);
            QString copyright = freetypeName(face, 0);
            benchmark::DoNotOptimize(version);
            benchmark::DoNotOptimize(copyright);
            FT_Done_Face(face);
        }
    }
    FT_Done_FreeType(library);
    perFile(state);
}
BENCHMARK(FreeType)->Unit(benchmark::kMillisecond);

/// The crafted file, `padding` zero bytes longer.
QByteArray craftedFile(qsizetype padding)
{
    constexpr int kEntries = 65534, kRecords = 4000, kSpan = 60000;
    auto be16 = [](QByteArray& b, quint16 v) { b.append(char(v >> 8)).append(char(v)); };
    auto be32 = [&](QByteArray& b, quint32 v) { be16(b, quint16(v >> 16)), be16(b, quint16(v)); };
    QByteArray head(56, '\0');
    qToBigEndian<quint32>(0x5F0F3CF5, head.data() + 12);
    const QByteArray shared = QByteArray("\0S\0h\0a\0r\0e\0d", 12);
    QByteArray name;
    be16(name, 0), be16(name, kRecords + 1), be16(name, quint16(6 + 12 * (kRecords + 1)));
    for (quint16 v : {3, 1, 0x409, 1, 12, 0}) be16(name, v);
    for (int i = 0; i < kRecords; ++i)
        for (quint16 v : {3, 1, 0x407, 7, kSpan, 12 + i}) be16(name, quint16(v));
    name += shared + QByteArray(kSpan + kRecords, 'A');
    const quint32 headAt = 12 + 16 * (kEntries + 1), nameAt = headAt + 56;
    QByteArray file;
    be32(file, 0x10000), be16(file, kEntries + 1), be16(file, 0), be16(file, 0), be16(file, 0);
    file += "head", be32(file, 0), be32(file, headAt), be32(file, 54);
    for (int i = 0; i < kEntries; ++i)
        file += "name", be32(file, 0), be32(file, nameAt), be32(file, quint32(name.size()));
    return file + head + name + QByteArray(padding, '\0');
}

/// A font system that knows no face and takes no file: only the reader's own work is measured.
class NoFaces final : public quillon::platform::FontSystem {
public:
    QString stdFontName(const QString&) override { return {}; }
    int AddFontResource(const QString&) override { return 0; }
    bool RemoveFontResource(const QString&) override { return true; }
    void SendFontChange() override {}
    std::uint32_t GetSystemDefaultLCID() override { return 0x0409; }
    std::optional<quillon::platform::ResolvedFace> resolveFace(const QString&) override
    {
        return std::nullopt;
    }
    quillon::platform::FontHandle CreateFontIndirect(const quillon::platform::LogFont&) override { return 0; }
    bool DeleteObject(quillon::platform::FontHandle) override { return false; }
    std::optional<quillon::platform::ResolvedFace> faceOf(quillon::platform::FontHandle) override
    {
        return {};
    }
    std::optional<quillon::platform::TextMetric> GetTextMetrics(quillon::platform::FontHandle) override
    {
        return {};
    }
    std::uint32_t GetFontLanguageInfo(quillon::platform::FontHandle) override { return 0; }
};

void CraftedFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crafted.ttf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(craftedFile(state.range(0))) < 0) {
        state.SkipWithError("cannot write the crafted file");
        return;
    }
    out.close();
    NoFaces fonts;
    for (auto _ : state) {
        CFontPreview reader(fonts);
        reader.setFontFile(path);
        QString family = reader.FamilyName();
        benchmark::DoNotOptimize(family);
    }
    state.counters["file_MiB"] = static_cast<double>(QFileInfo(path).size()) / (1 << 20);
}
BENCHMARK(CraftedFile)->Arg(0)->Arg(16 * (1 << 20) - 1'200'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Adding a font the system does not know needs Qt's font database; no display is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
