// The entry-name clean-up: the rules run in a fixed order with exact, first-occurrence searches, so the
// cases here are the ones where order, position or case changes the outcome.
#include "catalogue/FontNameCleanup.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct Case {
    const char16_t* entry;
    const char16_t* face;
    bool bold;
    bool italic;
    const char16_t* sizes;
};

void expectCleaned(const Case& c)
{
    const CleanedFontName cleaned = cleanFontName(QString::fromUtf16(c.entry));
    SCOPED_TRACE(QString::fromUtf16(c.entry).toStdString());
    EXPECT_EQ(cleaned.face, QString::fromUtf16(c.face));
    EXPECT_EQ(cleaned.bold, c.bold);
    EXPECT_EQ(cleaned.italic, c.italic);
    EXPECT_EQ(cleaned.sizes, QString::fromUtf16(c.sizes));
}

TEST(FontNameCleanup, WorkedExamples)
{
    for (const Case& c : {
             Case{u"Arial Bold Italic (TrueType)", u"Arial", true, true, u""},
             Case{u"MS Sans Serif 8,10,12,14,18,24 (VGA res)", u"MS Sans Serif", false, false,
                  u"8,10,12,14,18,24"},
             Case{u"Courier 10,12,15", u"Courier", false, false, u"10,12,15"},
             Case{u"MS Gothic & MS PGothic & MS UI Gothic (TrueType)", u"MS Gothic", false, false, u""},
         })
        expectCleaned(c);
}

TEST(FontNameCleanup, StyleWordsOnlyCountWhenTheyEndTheName)
{
    for (const Case& c : {
             Case{u"Arial Italic (TrueType)", u"Arial", false, true, u""},
             Case{u"Arial Bold (TrueType)", u"Arial", true, false, u""},
             // Italic is looked for first, so only "Bold" ends up flagged and "Italic" stays in the face.
             Case{u"Arial Italic Bold (TrueType)", u"Arial Italic", true, false, u""},
             Case{u"Gill Bold Outline (TrueType)", u"Gill Bold Outline", false, false, u""},
             // Searches are case-sensitive: "bold" in Demibold is not "Bold".
             Case{u"Lucida Demibold (TrueType)", u"Lucida Demibold", false, false, u""},
             // The first occurrence decides: "Bold" inside an earlier word hides the final one.
             Case{u"Boldface Bold", u"Boldface Bold", false, false, u""},
         })
        expectCleaned(c);
}

TEST(FontNameCleanup, AStepCutsOnlyAtAWordThatFollowsABlank)
{
    for (const Case& c : {
             // A style word glued to the word before it belongs to the face's name: listed whole, unflagged.
             Case{u"Noto Sans Arabic SemiBold (TrueType)", u"Noto Sans Arabic SemiBold", false, false, u""},
             Case{u"URWBookman-DemiItalic (OpenType)", u"URWBookman-DemiItalic", false, false, u""},
             Case{u"TeXGyreTermes-BoldItalic (OpenType)", u"TeXGyreTermes-BoldItalic", false, false, u""},
             Case{u"Noto Sans Condensed ExtraBold (TrueType)", u"Noto Sans Condensed ExtraBold", false, false,
                  u""},
             Case{u"XItalic", u"XItalic", false, false, u""},
             // Only the word that follows a blank counts, in the same name.
             Case{u"Noto Serif SemiBold Italic (TrueType)", u"Noto Serif SemiBold", false, true, u""},
             Case{u"Ab(c)", u"Ab(c)", false, false, u""},
             Case{u"Foo&Bar & Baz", u"Foo&Bar", false, false, u""},
             Case{u"Helvetica-Normal", u"Helvetica-Normal", false, false, u""},
             Case{u"Font (x) (TrueType)", u"Font", false, false, u""},
             // Only the first occurrence is looked at; glued, it leaves the step out.
             Case{u"Foo(1) (TrueType)", u"Foo(1) (TrueType)", false, false, u""},
             // "8," inside "18," is no size list; the list that follows the blank is taken whole.
             Case{u"Terminal 10,18,24", u"Terminal", false, false, u"10,18,24"},
             Case{u"Arial Normal (TrueType)", u"Arial", false, false, u""},
         })
        expectCleaned(c);
}

TEST(FontNameCleanup, NothingIsCutAtTheFirstTwoCharacters)
{
    for (const Case& c : {
             Case{u"(Bracketed) Font", u"(Bracketed) Font", false, false, u""},
             Case{u"X(Y) Sans", u"X(Y) Sans", false, false, u""},
             Case{u"Bold", u"Bold", false, false, u""},
             Case{u"& Friends", u"& Friends", false, false, u""},
             Case{u"8, Eight", u"8, Eight", false, false, u""},
             Case{u"Plain Name", u"Plain Name", false, false, u""},
         })
        expectCleaned(c);
}

TEST(FontNameCleanup, SizeLists)
{
    for (const Case& c : {
             Case{u"Small Fonts 9,11 (VGA res)", u"Small Fonts", false, false, u"9,11"},
             // Sizes stop at a blank or a "(" left in the tail.
             Case{u"Roman 8,10 Medium", u"Roman", false, false, u"8,10"},
             // A "(" that step one left (first, or glued) ends the sizes.
             Case{u"(A 8,10(x", u"(A", false, false, u"8,10"},
             Case{u"Script 12,14(x", u"Script", false, false, u"12,14"},
             // A lone size has no comma and is not a size to these rules.
             Case{u"Fixed 10 (6x13)", u"Fixed 10", false, false, u""},
         })
        expectCleaned(c);
}

TEST(FontNameCleanup, ExtractSizes)
{
    EXPECT_EQ(ExtractSizes(QStringLiteral("8,10,12 (VGA res)")), QStringLiteral("8,10,12"));
    EXPECT_EQ(ExtractSizes(QStringLiteral("8,10,12(VGA)")), QStringLiteral("8,10,12"));
    EXPECT_EQ(ExtractSizes(QStringLiteral("8,10,12")), QStringLiteral("8,10,12"));
    // A blank or "(" at the very start is not a separator.
    EXPECT_EQ(ExtractSizes(QStringLiteral(" 8,10")), QStringLiteral(" 8,10"));
    EXPECT_EQ(ExtractSizes(QStringLiteral("(8,10")), QStringLiteral("(8,10"));
    EXPECT_EQ(ExtractSizes(QString()), QString());
}

TEST(FontNameCleanup, NeverSplitsACharacterOutsideTheBasicPlane)
{
    // U+1D400 is two UTF-16 units; a cut keeps it whole, and the face is never empty.
    EXPECT_EQ(cleanFontName(QString::fromUtf16(u"\U0001D400 (x)")).face, QString::fromUtf16(u"\U0001D400"));
    EXPECT_EQ(cleanFontName(QString::fromUtf16(u"\U0001D400(x)")).face, QString::fromUtf16(u"\U0001D400(x)"));
}

} // namespace
} // namespace quillon
