// The book of faces written by the real quillon-inspect and read back with poppler: every chosen face is a
// row with its name and the sample, the sample set in the face itself (its font is in the file), the page
// number below, and an outline of first letters holding the faces. A book that cannot be made leaves an
// earlier file of that name as it was.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
};

Finished run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    Finished r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

QString inspect() { return qEnvironmentVariable("QUILLON_BINARY_DIR") + "/quillon-inspect"; }

TEST(BookPdf, ChosenFacesAreRowsInTheirOwnFacesWithPagesAndOutline)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("book.pdf");
    const QString sample = QStringLiteral("Quick Ωμέγα");
    const Finished made =
        run(inspect(), {"book", "--pdf", pdf, "--text", sample, "--faces", "^(dejavu|liberation)"});
    ASSERT_EQ(made.exitCode, 0);
    EXPECT_EQ(made.out, pdf + "\t1\t6\n");

    const QStringList faces = {"DejaVu Sans",     "DejaVu Sans Mono", "DejaVu Serif",
                               "Liberation Mono", "Liberation Sans",  "Liberation Serif"};
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).out;
    for (const QString& face : faces)
        EXPECT_TRUE(
            QRegularExpression("^" + face + ":\\s+" + sample + "$", QRegularExpression::MultilineOption)
                .match(text)
                .hasMatch())
            << qPrintable(face) << "\n"
            << qPrintable(text);
    EXPECT_EQ(text.count(sample), 6);
    EXPECT_TRUE(text.contains("DejaVu Sans – Liberation Serif")); // the page's first and last face
    EXPECT_TRUE(text.contains("Page 1 of 1"));

    const QString fonts = run("pdffonts", {pdf}).out;
    for (const char* font : {"DejaVuSans ", "DejaVuSansMono", "DejaVuSerif", "LiberationMono",
                             "LiberationSans", "LiberationSerif"})
        EXPECT_TRUE(fonts.contains(font)) << font << "\n" << qPrintable(fonts);

    const QString xml = run("pdftohtml", {"-xml", "-stdout", "-i", pdf}).out;
    const QRegularExpression outline(
        "<outline>\\s*<item page=\"1\">D</item>\\s*<outline>\\s*(<item page=\"1\">DejaVu[^<]*</item>\\s*){3}"
        "</outline>\\s*<item page=\"1\">L</item>\\s*<outline>\\s*(<item "
        "page=\"1\">Liberation[^<]*</item>\\s*){3}"
        "</outline>\\s*</outline>");
    EXPECT_TRUE(outline.match(xml).hasMatch()) << qPrintable(xml.left(2000));
}

TEST(BookPdf, ABookThatCannotBeMadeLeavesTheEarlierFile)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("book.pdf");
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    for (const QStringList& args :
         {QStringList{"--faces", "^no such face$"}, QStringList{"--faces", "("}, QStringList{"--text", ""},
          QStringList{"--copies", "2"}, QStringList{"--pages-per-part", "0"}}) {
        EXPECT_EQ(run(inspect(), QStringList{"book", "--pdf", pdf} + args).exitCode, 2)
            << qPrintable(args.join(' '));
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), "earlier");
        earlier.close();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no draft left behind
}

} // namespace
