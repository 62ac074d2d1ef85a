// The bounded reader under the joiner and the outline: a file of the kind Qt writes is read whole, and each
// other kind is refused with the reason the book's closing page and the log give, before anything is read
// past what the file can hold.
#include "pdf/PdfFile.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace quillon {
namespace {

// A one-page PDF as Qt writes it: objects one after the other, a classic table, a flat page tree.
QByteArray onePage(const QByteArray& treeCount = "1", const QByteArray& trailerExtra = {})
{
    const QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                       "<< /Type /Pages /Kids [3 0 R] /Count " + treeCount + " >>",
                                       "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>"};
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (qsizetype at : offsets) pdf += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 4 /Root 1 0 R" + trailerExtra + " >>\nstartxref\n" + QByteArray::number(xref) +
           "\n%%EOF\n";
    return pdf;
}

struct Read {
    bool structure = false;
    std::optional<std::size_t> pages;
    QString problem;
};

Read read(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    PdfFile pdf(buffer);
    Read result;
    result.structure = pdf.readStructure();
    if (result.structure) {
        const auto tree = pdf.pageTree(pdf.object(pdf.root()).value_or(QByteArray()));
        if (tree) result.pages = tree->pages.size();
    }
    result.problem = pdf.problem();
    return result;
}

TEST(PdfFile, ReadsQtsKindAndRefusesEveryOtherWithItsReason)
{
    const Read good = read(onePage());
    EXPECT_TRUE(good.structure);
    EXPECT_EQ(good.pages, 1u);
    EXPECT_EQ(good.problem, QString());

    const QByteArray base = onePage();
    // A table claiming a billion entries is refused from its header, before any of them is read.
    const Read huge = read(QByteArray(base).replace("xref\n0 4\n", "xref\n0 999999999\n"));
    EXPECT_FALSE(huge.structure);
    EXPECT_EQ(huge.problem, "the cross-reference table is larger than the file");

    const Read encrypted = read(onePage("1", " /Encrypt 9 0 R"));
    EXPECT_EQ(encrypted.problem, "the file has been updated or is encrypted");

    QByteArray streamed = base; // startxref pointing at an object: a cross-reference stream
    streamed.replace(streamed.mid(streamed.lastIndexOf("startxref")), "startxref\n9\n%%EOF\n");
    EXPECT_EQ(read(streamed).problem, "the file keeps its cross-references in a stream, not a table");

    EXPECT_EQ(read(base.left(base.size() - 30)).problem, "no cross-reference offset at the end of the file");

    const Read nested = read(onePage("2")); // a count its kids do not make up: not one flat node
    EXPECT_TRUE(nested.structure);
    EXPECT_EQ(nested.pages, std::nullopt);
    EXPECT_EQ(nested.problem, "the page tree is not a flat list of pages");
}

} // namespace
} // namespace quillon
