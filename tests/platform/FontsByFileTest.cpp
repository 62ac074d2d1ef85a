// The program's stand-in for fontconfig's match gives fontconfig's own answer, pattern for pattern: for
// the requests Qt makes for each font engine (family, file, face number, size), for a file that is not
// installed, for a request naming no file, for a file added after the index was built, and for the
// requests by family alone that substitutes are found with, in several languages.
#include "platform/linux/FontsByFile.h"

#include "support/SfntWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>

using namespace quillon::platform;
using quillon::test::SfntWriter;

namespace {

struct PatternFree {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;

// A request as Qt builds it when it makes a font engine.
Pattern engineRequest(FcConfig* config, const char* family, const char* file, int index)
{
    FcPattern* request = FcPatternCreate();
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (file) {
        FcPatternAddString(request, FC_FILE, reinterpret_cast<const FcChar8*>(file));
        FcPatternAddInteger(request, FC_INDEX, index);
    }
    FcPatternAddDouble(request, FC_PIXEL_SIZE, 19.5);
    FcConfigSubstitute(config, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    return Pattern(request);
}

// A request by family as the face index makes it for a substitute, in a chosen language.
Pattern familyRequest(FcConfig* config, const std::string& family, const char* language)
{
    FcPattern* request = FcPatternCreate();
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (language) FcPatternAddString(request, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    FcConfigSubstitute(config, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    return Pattern(request);
}

class FontsByFileTest : public ::testing::Test {
protected:
    void SetUp() override { config = FcInitLoadConfigAndFonts(); }
    void TearDown() override { FcConfigDestroy(config); }

    // Both answers for one request; they must be equal patterns.
    void expectSameMatch(const Pattern& request, const std::string& what)
    {
        FcResult ours = FcResultNoMatch, theirs = FcResultNoMatch;
        const Pattern mine(index.match(config, request.get(), &ours));
        const Pattern reference(FcFontMatch(config, request.get(), &theirs));
        EXPECT_EQ(ours, theirs) << what;
        ASSERT_EQ(mine == nullptr, reference == nullptr) << what;
        if (mine) {
            EXPECT_TRUE(FcPatternEqual(mine.get(), reference.get())) << what;
        }
    }

    FcConfig* config = nullptr;
    FontsByFile index;
};

TEST_F(FontsByFileTest, EveryInstalledFaceMatchesAsFontconfigMatchesIt)
{
    FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
    ASSERT_TRUE(fonts);
    ASSERT_GT(fonts->nfont, 10);
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        int face = 0;
        FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family);
        FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file);
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &face);
        const auto* name = reinterpret_cast<const char*>(family);
        const auto* path = reinterpret_cast<const char*>(file);
        // Each face of a collection is asked for by its own family, and once by another face's.
        expectSameMatch(engineRequest(config, name, path, face), path);
        expectSameMatch(engineRequest(config, "DejaVu Sans", path, face),
                        std::string(path) + " as DejaVu Sans");
    }
    expectSameMatch(engineRequest(config, "DejaVu Serif", "/nowhere/DejaVuSerif.ttf", 0),
                    "a file not installed");
    expectSameMatch(engineRequest(config, "Liberation Mono", nullptr, 0), "no file");
}

TEST_F(FontsByFileTest, RequestsByFamilyMatchAsFontconfigMatchesThem)
{
    // Installed families as listed and as fontconfig also takes them (case, blanks, its case folding: "ſ"
    // folds to "s"), names no font has, generic names, and names with letters beyond ASCII; each in the
    // default language, one most fonts have, one few have and one none has.
    std::vector<std::string> names = {
        "MS Sans Serif",
        "sans-serif",
        "serif",
        "monospace",
        "Nöto Sans",
        "Liberation ſans",
        "LIBERATIONSERIF",
        "  dejavu   sans mono",
        "",
        "\xe6\x96\x87\xe6\xb3\x89\xe9\xa9\x9b\xe5\xbe\xae\xe7\xb1\xb3\xe9\xbb\x91"};
    FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
    ASSERT_TRUE(fonts);
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
            names.emplace_back(reinterpret_cast<const char*>(family));
    }
    for (const char* language : {static_cast<const char*>(nullptr), "en", "zh-cn", "ar", "xx"})
        for (const std::string& name : names)
            expectSameMatch(familyRequest(config, name, language),
                            name + " in " + (language ? language : "the default language"));

    // The language ranks before a weakly bound family: a font of no family asked wins when only it has the
    // language (the CJK face here, against a weak "DejaVu Sans").
    Pattern weak(FcPatternCreate());
    FcPatternAddString(weak.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("Quillon Nowhere"));
    FcValue dejaVu{};
    dejaVu.type = FcTypeString;
    dejaVu.u.s = reinterpret_cast<const FcChar8*>("DejaVu Sans");
    FcPatternAddWeak(weak.get(), FC_FAMILY, dejaVu, FcTrue);
    FcPatternAddString(weak.get(), FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcDefaultSubstitute(weak.get());
    expectSameMatch(weak, "a weak family without the language");

    // A strongly bound PostScript name ranks before the language: the full match answers.
    Pattern named = familyRequest(config, "Quillon Nowhere", nullptr);
    FcPatternDel(named.get(), FC_POSTSCRIPT_NAME);
    FcPatternAddString(named.get(), FC_POSTSCRIPT_NAME, reinterpret_cast<const FcChar8*>("DejaVuSans-Bold"));
    expectSameMatch(named, "a strong PostScript name");
}

TEST_F(FontsByFileTest, AFileAddedLaterIsFound)
{
    // The index is built for a file installed first.
    FcChar8* installed = nullptr;
    FcPatternGetString(FcConfigGetFonts(config, FcSetSystem)->fonts[0], FC_FILE, 0, &installed);
    FcResult result = FcResultNoMatch;
    const Pattern before = engineRequest(config, "DejaVu Sans", reinterpret_cast<const char*>(installed), 0);
    ASSERT_TRUE(Pattern(index.match(config, before.get(), &result)));
    QTemporaryDir dir;
    const std::string path = dir.filePath("added.ttf").toStdString();
    ASSERT_TRUE(SfntWriter::writeFile(
        QString::fromStdString(path),
        SfntWriter::minimalFont(SfntWriter::names(QStringLiteral("Quillon Added"), QStringLiteral("Regular"),
                                                  QStringLiteral("Quillon Added")))));
    ASSERT_TRUE(FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str())));
    const Pattern request = engineRequest(config, "Quillon Added", path.c_str(), 0);
    expectSameMatch(request, "added file");
    Pattern matched(index.match(config, request.get(), &result));
    FcChar8* file = nullptr;
    ASSERT_TRUE(matched);
    ASSERT_EQ(FcPatternGetString(matched.get(), FC_FILE, 0, &file), FcResultMatch);
    EXPECT_EQ(reinterpret_cast<const char*>(file), path);
}

} // namespace
