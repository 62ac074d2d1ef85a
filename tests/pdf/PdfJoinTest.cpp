// The joiner that puts a book written in parts together: pages in order, every part's text and fonts kept,
// an outline still addable, and parts it does not understand refused with the output left unused.
#include "pdf/PdfJoin.h"
#include "pdf/PdfOutline.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon {
namespace {

// A Qt-written PDF with one page for each text, each drawn in `family`.
QString writePart(const QTemporaryDir& dir, const QString& name, const QStringList& pages,
                  const QString& family)
{
    const QString path = dir.filePath(name);
    QPdfWriter writer(path);
    writer.setTitle(name);
    QPainter painter(&writer);
    painter.setFont(QFont(family, 24));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        painter.drawText(500, 1000, pages[i]);
    }
    return path;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

using test::contents;
using test::writeFile;

TEST(PdfJoin, PagesFollowInOrderWithTheirFontsAndTakeAnOutline)
{
    QTemporaryDir dir;
    const QStringList parts = {writePart(dir, "a.pdf", {"alpha", "beta"}, "DejaVu Sans"),
                               writePart(dir, "b.pdf", {"gamma"}, "Liberation Serif"),
                               writePart(dir, "c.pdf", {"delta"}, "DejaVu Sans")};
    const QString joined = dir.filePath("joined.pdf");
    QFile out(joined);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    PdfJoin join(out);
    ASSERT_TRUE(join.join(parts)) << qPrintable(join.problem());
    out.close();
    // A file identifier of its own, the same twice until the file is changed.
    const QRegularExpression id("/ID \\[<([0-9A-F]{32})> <([0-9A-F]{32})>\\]");
    const QRegularExpressionMatch joinedId = id.match(QString::fromLatin1(contents(joined)));
    ASSERT_TRUE(joinedId.hasMatch());
    EXPECT_EQ(joinedId.captured(1), joinedId.captured(2));

    EXPECT_TRUE(run("pdfinfo", {joined}).contains(QRegularExpression("Pages:\\s+4\\n")));
    EXPECT_TRUE(run("pdfinfo", {joined}).contains(QRegularExpression("Title:\\s+a.pdf\\n"))); // the first's
    EXPECT_EQ(run("pdftotext", {joined, "-"}).simplified(), "alpha beta gamma delta");
    const QString fonts = run("pdffonts", {joined});
    EXPECT_EQ(fonts.count("DejaVuSans "), 2); // once a part: each part embeds what it drew
    EXPECT_EQ(fonts.count("LiberationSerif "), 1);

    ASSERT_TRUE(PdfOutline(joined).add({{"G", 2, -1, {}}, {"D", 3, -1, {}}}));
    // The update keeps the identifier's first half and changes its second.
    const QByteArray outlined = contents(joined);
    const QRegularExpressionMatch outlinedId =
        id.match(QString::fromLatin1(outlined.mid(outlined.lastIndexOf("trailer"))));
    ASSERT_TRUE(outlinedId.hasMatch());
    EXPECT_EQ(outlinedId.captured(1), joinedId.captured(1));
    EXPECT_NE(outlinedId.captured(2), joinedId.captured(2));
    const QString xml = run("pdftohtml", {"-xml", "-stdout", "-i", joined});
    EXPECT_TRUE(xml.contains("<item page=\"3\">G</item>")) << qPrintable(xml.left(1000));
    EXPECT_TRUE(xml.contains("<item page=\"4\">D</item>"));
    EXPECT_EQ(run("pdftotext", {joined, "-"}).simplified(), "alpha beta gamma delta");
}

TEST(PdfJoin, PartsOfAnyOtherKindAreRefusedAndTheTargetKeepsItsEarlierFile)
{
    QTemporaryDir dir;
    const QString good = writePart(dir, "good.pdf", {"one"}, "DejaVu Sans");
    const QByteArray original = contents(good);
    // Same length, so that every offset still holds: a stream whose /Length says otherwise, a page whose
    // parent is not the tree that lists it, a reference to an object not in use.
    QByteArray longer = original;
    const QRegularExpressionMatch lengthRef = QRegularExpression("/Length (\\d+) 0 R").match(original);
    ASSERT_TRUE(lengthRef.hasMatch());
    const qsizetype value = original.indexOf("\n" + lengthRef.captured(1).toLatin1() + " 0 obj\n") +
                            lengthRef.captured(1).size() + 8;
    longer[value] = longer[value] == '9' ? '1' : '9';
    const QByteArray orphan = QByteArray(original).replace("/Parent 3 0 R", "/Parent 4 0 R");
    const QRegularExpressionMatch contentsRef = QRegularExpression("/Contents (\\d+) 0 R").match(original);
    ASSERT_TRUE(contentsRef.hasMatch());
    QByteArray dangling = original; // the contents' entry in the table marked free
    const qsizetype table = original.indexOf('\n', original.lastIndexOf("xref\n0 ") + 5) + 1;
    dangling[table + contentsRef.captured(1).toInt() * 20 + 17] = 'f';
    ASSERT_NE(longer, original);
    ASSERT_NE(orphan, original);
    ASSERT_NE(dangling, original);

    const QString updated = dir.filePath("updated.pdf");
    writeFile(updated, original);
    ASSERT_TRUE(PdfOutline(updated).add({{"One", 0, -1, {}}}));

    const QString target = dir.filePath("book.pdf");
    writeFile(target, "earlier");
    const QList<QByteArray> refused = {
        longer,           orphan, dangling, original.left(original.size() / 2), QByteArray("not a pdf"),
        contents(updated)};
    for (qsizetype i = 0; i < refused.size(); ++i) {
        const QByteArray& bytes = refused[i];
        const QString part = dir.filePath("part.pdf");
        writeFile(part, bytes);
        QSaveFile out(target);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        PdfJoin join(out);
        EXPECT_FALSE(join.join({good, part})) << "case " << i;
        EXPECT_TRUE(join.problem().startsWith("part 2 of 2: ")) << qPrintable(join.problem());
        // not committed: the target is replaced only by a whole book
    }
    EXPECT_EQ(contents(target), "earlier");

    QSaveFile out(target);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    EXPECT_FALSE(PdfJoin(out).join({})); // no pages, no book
    EXPECT_FALSE(PdfJoin(out).join({dir.filePath("missing.pdf")}));
}

} // namespace
} // namespace quillon
