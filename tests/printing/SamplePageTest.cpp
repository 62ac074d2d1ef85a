// The sample page's layout on a recording printer: every text and rule where the layout table puts it, in
// twips, with the font in force; the details split at CR LF; copies identical within one job.
#include "printing/SamplePage.h"
#include "printing/RecordingPage.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

using Font = RecordingPage::Font;

struct Expected {
    int x;
    int y;
    Font font;
    QString text;
};

Font arial(double points) { return {QStringLiteral("Arial"), points, false, false}; }
Font face(double points, bool bold = false, bool italic = false)
{
    return {QStringLiteral("DejaVu Sans"), points, bold, italic};
}

// The whole page for an empty details text, written out from the layout table rather than computed.
std::vector<Expected> pageWithoutDetails()
{
    const QString lower = "abcdefghijklmnopqrstuvwxyz";
    const QString upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const QString digits = "1234567860.:,;(<{#$%&*!?}>)";
    const QString fox = "The quick brown fox jumps over the lazy dog.  1234567860";
    return {
        {60, 120, arial(28), "Font Name: DejaVu Sans"},
        {60, 1065, arial(12), "Details:"},
        {60, 1485, arial(12), "Normal:"},
        {990, 1485, face(12), lower},
        {990, 1740, face(12), upper},
        {990, 1995, face(12), digits},
        {60, 2295, arial(12), "Bold:"},
        {990, 2295, face(12, true), lower},
        {990, 2550, face(12, true), upper},
        {990, 2805, face(12, true), digits},
        {60, 3105, arial(12), "Italics:"},
        {990, 3105, face(12, false, true), lower},
        {990, 3360, face(12, false, true), upper},
        {990, 3615, face(12, false, true), digits},
        {60, 4320, arial(10), "8"},
        {530, 4320, face(8), fox},
        {60, 4710, arial(10), "12"},
        {530, 4710, face(12), fox},
        {60, 5190, arial(10), "18"},
        {530, 5190, face(18), fox},
        {60, 5715, arial(10), "24"},
        {530, 5715, face(24), fox},
        {60, 6375, arial(10), "36"},
        {530, 6375, face(36), fox},
        {60, 7245, arial(10), "48"},
        {530, 7245, face(48), fox},
        {60, 8390, arial(10), "60"},
        {530, 8390, face(60), fox},
        {60, 9740, arial(10), "72"},
        {530, 9740, face(72), fox},
    };
}

void expectTexts(const std::vector<RecordingPage::Text>& got, const std::vector<Expected>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].text.toStdString());
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].x, want[i].x);
        EXPECT_EQ(got[i].y, want[i].y);
        EXPECT_EQ(got[i].font.name, want[i].font.name);
        EXPECT_EQ(got[i].font.points, want[i].font.points);
        EXPECT_EQ(got[i].font.bold, want[i].font.bold);
        EXPECT_EQ(got[i].font.italic, want[i].font.italic);
    }
}

RecordingPage::Document printOnce(const QString& details)
{
    RecordingPage printer;
    SamplePage page(printer);
    page.PrintSamplePage("DejaVu Sans", details);
    printer.endDoc();
    EXPECT_EQ(printer.jobs().size(), 1u);
    return printer.jobs().empty() ? RecordingPage::Document() : printer.jobs().front();
}

} // namespace

TEST(SamplePage, EmptyDetailsPutEveryTextAndRuleWhereTheLayoutSays)
{
    const RecordingPage::Document doc = printOnce(QString());
    EXPECT_EQ(doc.pages, 1);
    expectTexts(doc.texts, pageWithoutDetails());

    // Three rules of three lines each, 5 twips apart, all from 60 to 11970, horizontal.
    ASSERT_EQ(doc.lines.size(), 9u);
    const int tops[] = {855, 1275, 4050};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) {
            const RecordingPage::Line& l = doc.lines[std::size_t(r * 3 + k)];
            EXPECT_EQ(l.x1, 60);
            EXPECT_EQ(l.x2, 11970);
            EXPECT_EQ(l.y1, tops[r] + 5 * k);
            EXPECT_EQ(l.y2, l.y1);
        }
    // With no details the second rule stands 210 twips below the label "Details:".
    EXPECT_EQ(doc.lines[3].y1 - 1065, 210);
}

TEST(SamplePage, DetailLinesStandFromTheLabelsLineDownAndPushTheRestDown)
{
    const RecordingPage::Document doc =
        printOnce("Is a TrueType font\r\nIs a variable pitch font\r\nVersion 2.37");
    std::vector<Expected> want = pageWithoutDetails();
    // Everything below the details moves down by three lines of 255 twips.
    for (std::size_t i = 2; i < want.size(); ++i) want[i].y += 3 * 255;
    want.insert(want.begin() + 2, {{990, 1065, arial(12), "Is a TrueType font"},
                                   {990, 1320, arial(12), "Is a variable pitch font"},
                                   {990, 1575, arial(12), "Version 2.37"}});
    expectTexts(doc.texts, want);
    ASSERT_EQ(doc.lines.size(), 9u);
    EXPECT_EQ(doc.lines[3].y1 - 1065, 975); // the second rule, from the label's top
    EXPECT_EQ(doc.lines[6].y1, 4050 + 765);
    EXPECT_EQ(doc.texts.back().y, 9740 + 765); // the 72-point line
}

TEST(SamplePage, DetailsSplitOnlyAtCarriageReturnLineFeedPairs)
{
    using Lines = QStringList;
    EXPECT_EQ(SamplePage::detailLines(""), Lines());
    EXPECT_EQ(SamplePage::detailLines("one"), Lines({"one"}));
    EXPECT_EQ(SamplePage::detailLines("one\r\n"), Lines({"one"})); // a trailing pair adds no line
    EXPECT_EQ(SamplePage::detailLines("\r\n"), Lines({""}));
    EXPECT_EQ(SamplePage::detailLines("a\r\n\r\nb"), Lines({"a", "", "b"})); // an empty line still counts
    EXPECT_EQ(SamplePage::detailLines("a\nb\rc\n\rd"), Lines({"a\nb\rc\n\rd"}));
    EXPECT_EQ(SamplePage::detailLines("a\r\r\nb\r\n\r\n"), Lines({"a\r", "b", ""}));

    // An empty line between two pairs takes its 255 twips on the page.
    const RecordingPage::Document doc = printOnce("a\r\n\r\nb\r\n");
    EXPECT_EQ(doc.texts[2].y, 1065);
    EXPECT_EQ(doc.texts[3].text, "");
    EXPECT_EQ(doc.texts[3].y, 1320);
    EXPECT_EQ(doc.texts[4].text, "b");
    EXPECT_EQ(doc.texts[4].y, 1575);
    EXPECT_EQ(doc.lines[3].y1, 1065 + 3 * 255 + 210);
}

TEST(SamplePage, CopiesAreIdenticalPagesOfOneJobWithNoBlankPageAtTheEnd)
{
    RecordingPage printer;
    SamplePage page(printer);
    EXPECT_EQ(PrintSampleCopies(printer, page, 2, "DejaVu Sans", "x\r\ny"), 0);
    ASSERT_EQ(printer.jobs().size(), 1u);
    const RecordingPage::Document& doc = printer.jobs().front();
    EXPECT_EQ(doc.pages, 2);
    const auto first = RecordingPage::textsOn(doc, 0);
    const auto second = RecordingPage::textsOn(doc, 1);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].text, second[i].text);
        EXPECT_EQ(first[i].x, second[i].x);
        EXPECT_EQ(first[i].y, second[i].y);
        EXPECT_EQ(first[i].font, second[i].font);
    }
    EXPECT_EQ(second.front().y, 120); // printY starts again on every page
    EXPECT_EQ(RecordingPage::linesOn(doc, 1).size(), 9u);
    EXPECT_EQ(page.printY(), 9740 + 2 * 255);
}

TEST(SamplePage, AFailingCopyStopsThereAndTheNextCopyAndTheEndOfDocumentStillRun)
{
    const std::size_t perPage = pageWithoutDetails().size();
    RecordingPage printer;
    SamplePage page(printer);
    // The 10th operation is the first font change after the first rule: the heading is out, the rest of
    // that copy is not; the second copy is whole and the document is still ended as one job.
    printer.failOnce(10);
    EXPECT_EQ(PrintSampleCopies(printer, page, 2, "DejaVu Sans", QString()), 1);
    ASSERT_EQ(printer.jobs().size(), 1u);
    const RecordingPage::Document& doc = printer.jobs().front();
    ASSERT_EQ(doc.texts.size(), 1 + perPage);
    EXPECT_EQ(doc.texts.front().text, "Font Name: DejaVu Sans");
    EXPECT_EQ(doc.texts.back().y, 9740);

    // A printer that fails at every step: each copy and the end of the document count once, no job.
    RecordingPage dead;
    SamplePage deadPage(dead);
    dead.failFrom(1);
    EXPECT_EQ(PrintSampleCopies(dead, deadPage, 3, "X", QString()), 4);
    EXPECT_EQ(dead.operations(), 3 + 1);
    EXPECT_TRUE(dead.jobs().empty());
}
