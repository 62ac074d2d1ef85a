// The book's order, pages and outline.
#include "summary/FontBook.h"
#include "pdf/PdfOutline.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(FontBook, OrderPagesAndOutlineByFirstLetter)
{
    EXPECT_EQ(FontBook::sortedLikeSummary({"beta", "Alpha", "alpha", "Beta"}),
              QStringList({"Alpha", "alpha", "beta", "Beta"}));
    EXPECT_EQ(FontBook::letterOf("noto"), "N");
    EXPECT_EQ(FontBook::letterOf("\u00e9cole"), "\u00c9");
    EXPECT_EQ(FontBook::letterOf(QString::fromUcs4(U"\U0001D504x")), QString::fromUcs4(U"\U0001D504"));
    EXPECT_EQ(FontBook::letterOf("3270"), "#");
    EXPECT_EQ(FontBook::letterOf(""), "#");

    // 40 faces: "#" for the digits, then A and B; "#" again after Z joins the first "#" entry.
    QStringList faces;
    for (int i = 0; i < 10; ++i) faces << QStringLiteral("%1 Face").arg(i);
    for (int i = 0; i < 14; ++i) faces << QStringLiteral("A Face %1").arg(i, 2, 10, QLatin1Char('0'));
    for (int i = 0; i < 15; ++i) faces << QStringLiteral("B Face %1").arg(i, 2, 10, QLatin1Char('0'));
    faces << QStringLiteral("~ Last");
    const FontBook book(faces);
    EXPECT_EQ(book.pageCount(), 3);
    EXPECT_EQ(FontBook(QStringList()).pageCount(), 0);

    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    const FontBook::Geometry sheet = FontBook::geometry(a4);
    EXPECT_NEAR(sheet.area.left(), FontBook::kMarginPoints, 0.01);
    EXPECT_NEAR(sheet.rows.width(), sheet.area.width(), 0.01); // the width decides the scale on A4
    EXPECT_LE(sheet.rows.bottom(), sheet.footer.top());
    const double height = a4.fullRect(QPageLayout::Point).height();
    const std::vector<PdfOutlineItem> outline = book.outline(sheet, height);
    ASSERT_EQ(outline.size(), 3u);
    EXPECT_EQ(outline[0].title, "#");
    EXPECT_EQ(outline[0].children.size(), 11u);
    EXPECT_EQ(outline[0].children.back().title, "~ Last");
    EXPECT_EQ(outline[0].children.back().page, 2);
    EXPECT_EQ(outline[1].title, "A");
    EXPECT_EQ(outline[1].page, 0);
    EXPECT_NEAR(outline[1].top, height - sheet.rowTop(10), 0.01);
    EXPECT_EQ(outline[2].title, "B");
    EXPECT_EQ(outline[2].page, 1); // face 24 is the ninth row of the second page
    EXPECT_NEAR(outline[2].top, height - sheet.rowTop(8), 0.01);
    EXPECT_GT(outline[2].children[0].top, outline[2].children[1].top); // lower rows, lower on the sheet
}

} // namespace
} // namespace quillon
