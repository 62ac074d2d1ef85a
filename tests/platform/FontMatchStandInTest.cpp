// The program's stand-in for fontconfig's match gives fontconfig's own answer, pattern for pattern: for
// the requests Qt makes for each font engine (family, file, face number, size), for a file that is not
// installed, for a request naming no file, for application fonts added and removed after the index was built
// (variable and colour ones among them), and for the requests by family alone that substitutes are found
// with, in several languages. It takes its shortcuts on the fontconfig it was proven on, and steps aside for
// a request holding an element it does not know, on any other fontconfig version, and when turned off.
#include "platform/linux/fonts/FontMatchStandIn.h"

#include "support/SfntWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <cstdint>
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

QByteArray bigEndian(std::initializer_list<std::uint16_t> words)
{
    QByteArray out;
    for (std::uint16_t word : words) {
        out.append(static_cast<char>(word >> 8));
        out.append(static_cast<char>(word & 0xFF));
    }
    return out;
}

// A font FreeType takes as a colour font: glyph 1 drawn as one layer of palette colour 0 ("COLR" and "CPAL").
QByteArray colourFont(const QString& family)
{
    SfntWriter font =
        SfntWriter::minimalFontTables(SfntWriter::names(family, QStringLiteral("Regular"), family));
    // COLR version 0: one base glyph record at 14, one layer record at 20.
    font.add("COLR", bigEndian({0, 1, 0, 14, 0, 20, 1, 1, 0, 1, 1, 0}));
    // CPAL version 0: one palette of one entry, its colour record at 14.
    font.add("CPAL", bigEndian({0, 1, 1, 1, 0, 14, 0, 0x00FF, 0x00FF}));
    return font.build();
}

QByteArray variableFont(const QString& family)
{
    SfntWriter font =
        SfntWriter::minimalFontTables(SfntWriter::names(family, QStringLiteral("Regular"), family));
    font.add("fvar", SfntWriter::fvar({{2, 400, 0}, {2, 700, 0}}));
    return font.build();
}

class FontMatchStandInTest : public ::testing::Test {
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
    FontMatchStandIn index;
};

TEST_F(FontMatchStandInTest, EveryInstalledFaceMatchesAsFontconfigMatchesIt)
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
    // Qt's requests, as fontconfig's configuration completes them, hold only elements whose rank is known.
    EXPECT_GE(index.shortcuts(), static_cast<std::uint64_t>(fonts->nfont));
}

TEST_F(FontMatchStandInTest, RequestsByFamilyMatchAsFontconfigMatchesThem)
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

TEST_F(FontMatchStandInTest, ApplicationFontsAddedAndRemovedMatchAsFontconfigMatchesThem)
{
    // The index is built before any application font is added.
    FcChar8* installed = nullptr;
    FcPatternGetString(FcConfigGetFonts(config, FcSetSystem)->fonts[0], FC_FILE, 0, &installed);
    FcResult result = FcResultNoMatch;
    const Pattern first = engineRequest(config, "DejaVu Sans", reinterpret_cast<const char*>(installed), 0);
    ASSERT_TRUE(Pattern(index.match(config, first.get(), &result)));

    QTemporaryDir dir;
    const auto add = [&](const char* name, const QByteArray& bytes) {
        const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
        EXPECT_TRUE(SfntWriter::writeFile(QString::fromStdString(path), bytes));
        EXPECT_TRUE(FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str())));
        return path;
    };
    const auto expectFound = [&](const std::string& family, const std::string& path) {
        const Pattern request = engineRequest(config, family.c_str(), path.c_str(), 0);
        expectSameMatch(request, path);
        expectSameMatch(familyRequest(config, family, nullptr), family + " by family");
        expectSameMatch(familyRequest(config, family, "en"), family + " by family in en");
        Pattern matched(index.match(config, request.get(), &result));
        FcChar8* file = nullptr;
        ASSERT_TRUE(matched);
        ASSERT_EQ(FcPatternGetString(matched.get(), FC_FILE, 0, &file), FcResultMatch);
        EXPECT_EQ(reinterpret_cast<const char*>(file), path);
    };

    const std::string added = add("added.ttf", SfntWriter::minimalFont(SfntWriter::names(
                                                   QStringLiteral("Quillon Added"), QStringLiteral("Regular"),
                                                   QStringLiteral("Quillon Added"))));
    expectFound("Quillon Added", added);
    const std::string variable = add("variable.ttf", variableFont(QStringLiteral("Quillon Variable")));
    const std::string colour = add("colour.ttf", colourFont(QStringLiteral("Quillon Colour")));
    expectFound("Quillon Variable", variable);
    expectFound("Quillon Colour", colour);
    FcBool yes = FcFalse;
    FcFontSet* application = FcConfigGetFonts(config, FcSetApplication);
    for (int i = 0; i < application->nfont; ++i) {
        FcPatternGetBool(application->fonts[i], FC_COLOR, 0, &yes);
        if (yes) break;
    }
    EXPECT_TRUE(yes) << "the colour font is taken as one";
    // Asked for as a colour font or as a variable one, the yes-or-no elements ranked before the family.
    for (const char* object : {FC_COLOR, FC_VARIABLE}) {
        for (const std::string family : {"Quillon Colour", "Quillon Variable", "DejaVu Sans"}) {
            Pattern request = familyRequest(config, family, nullptr);
            FcPatternDel(request.get(), object);
            FcPatternAddBool(request.get(), object, FcTrue);
            expectSameMatch(request, family + " asked " + object);
        }
    }

    // All application fonts removed and one other added: the set may be made again at the same address
    // with as many fonts, and must still be indexed anew.
    FcConfigAppFontClear(config);
    expectSameMatch(familyRequest(config, "Quillon Added", nullptr), "a removed family");
    expectSameMatch(engineRequest(config, "Quillon Added", added.c_str(), 0), "a removed file");
    const std::string other = add("other.ttf", SfntWriter::minimalFont(SfntWriter::names(
                                                   QStringLiteral("Quillon Other"), QStringLiteral("Regular"),
                                                   QStringLiteral("Quillon Other"))));
    expectFound("Quillon Other", other);
    expectSameMatch(familyRequest(config, "Quillon Variable", nullptr), "a removed variable family");
}

TEST_F(FontMatchStandInTest, StepsAsideWhereItsProofDoesNotReach)
{
    FcChar8* installed = nullptr;
    FcPatternGetString(FcConfigGetFonts(config, FcSetSystem)->fonts[0], FC_FILE, 0, &installed);
    const auto* file = reinterpret_cast<const char*>(installed);

    // An element this fontconfig does not rank (a newer one's generic family, say) sends the request to the
    // full match, with fontconfig's answer.
    Pattern requests[] = {engineRequest(config, "DejaVu Sans", file, 0),
                          familyRequest(config, "serif", "en")};
    for (Pattern& request : requests) {
        FcPatternAddString(request.get(), "genericfamily", reinterpret_cast<const FcChar8*>("serif"));
        const std::uint64_t before = index.shortcuts();
        expectSameMatch(request, "a request with an element of unknown rank");
        EXPECT_EQ(index.shortcuts(), before);
    }

    // Another fontconfig version, or the stand-in turned off: every request scored by fontconfig.
    const Pattern request = engineRequest(config, "DejaVu Sans", file, 0);
    FontMatchStandIn newer(true, 21800), off(false);
    for (FontMatchStandIn* fenced : {&newer, &off}) {
        FcResult result = FcResultNoMatch;
        Pattern(fenced->match(config, request.get(), &result));
        EXPECT_EQ(fenced->shortcuts(), 0u);
    }
    EXPECT_TRUE(FontMatchStandIn::provenOn(FcGetVersion()))
        << "the fontconfig the tests run on is a proven one";
}

} // namespace
