// The outline writer: appended once as an update, nothing before it rewritten, and files it does not
// understand refused and left as they were.
#include "pdf/PdfOutline.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon {
namespace {

using test::contents;
using test::writeFile;

TEST(PdfOutline, AppendsOnceAndLeavesFilesItCannotReadAsTheyWere)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("two.pdf");
    {
        QPdfWriter writer(pdf);
        QPainter painter(&writer);
        painter.drawText(100, 100, "one");
        writer.newPage();
        painter.drawText(100, 100, "two");
    }
    const QByteArray original = contents(pdf);
    ASSERT_FALSE(original.isEmpty());

    PdfOutline outline(pdf);
    EXPECT_FALSE(outline.add({{"Past the end", 2, -1, {}}}));
    EXPECT_EQ(outline.problem(), "an outline entry names a page the file lacks");
    EXPECT_EQ(contents(pdf), original);

    const std::vector<PdfOutlineItem> items = {{"A", 0, 700, {{"Alpha (one)", 0, 700, {}}}},
                                               {"\u00c9", 1, -1, {}}};
    ASSERT_TRUE(outline.add(items)) << qPrintable(outline.problem());
    const QByteArray updated = contents(pdf);
    EXPECT_TRUE(updated.startsWith(original)); // nothing rewritten, only appended
    const QByteArray update = updated.mid(original.size());
    EXPECT_TRUE(update.contains("/Title (Alpha \\(one\\))"));
    EXPECT_TRUE(update.contains("/Title <FEFF00C9>"));
    EXPECT_TRUE(update.contains("/Count -1"));
    EXPECT_TRUE(update.contains("/Outlines"));
    EXPECT_TRUE(update.endsWith("%%EOF\n"));
    EXPECT_FALSE(outline.add(items)); // an updated file is not updated again
    EXPECT_EQ(contents(pdf), updated);

    // Not a PDF, a PDF cut short, a cross-reference offset past the end: refused, untouched.
    const QByteArray cutXref = QByteArray(original).replace(original.mid(original.lastIndexOf("startxref")),
                                                            "startxref\n99999999999\n%%EOF\n");
    for (const QByteArray& bytes : {QByteArray("not a pdf at all"), original.left(original.size() - 200),
                                    original.left(original.size() / 2), cutXref, QByteArray()}) {
        const QString path = dir.filePath("bad.pdf");
        writeFile(path, bytes);
        EXPECT_FALSE(PdfOutline(path).add(items));
        EXPECT_EQ(contents(path), bytes);
    }
}

} // namespace
} // namespace quillon
