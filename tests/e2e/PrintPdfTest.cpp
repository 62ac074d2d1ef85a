// The sample page printed by the real quillon-inspect into a PDF and read back with poppler: the heading,
// the details lines, the rules and the 72-point line stand where the layout puts them (twips from the
// printable area, which for the PDF file lies a quarter inch inside the sheet as on a usual printer), nothing
// comes near the paper's edge, and the copies are identical pages.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/SfntWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr double kTolerance = 0.5; // points
constexpr double kMargin = 18;     // points from each edge of the sheet to the printable area
constexpr double kA4Width = 595.28, kA4Height = 841.89;

// Twips from the printable area's top left as points from the sheet's.
double pt(int twips) { return kMargin + twips / 20.0; }

struct Word {
    int page = 0;
    double x = 0, y = 0, right = 0, bottom = 0; // points from the sheet's top left
    QString text;
};

struct Finished {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The tests' fonts, with Arial standing for Liberation Sans as on a desktop, so that the labels have the
// widths they are laid out for and do not run into the column beside them.
QString fontConfigWithArial(const QTemporaryDir& dir, const QString& moreFonts = QString())
{
    const QString path = dir.filePath("fonts.conf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                       "<fontconfig>\n  <dir>%1</dir>\n%3  <cachedir>%2</cachedir>\n"
                       "  <alias binding=\"same\"><family>Arial</family>"
                       "<accept><family>Liberation Sans</family></accept></alias>\n</fontconfig>\n")
            .arg(qEnvironmentVariable("QUILLON_TEST_FONTS"), dir.filePath("fccache"),
                 moreFonts.isEmpty() ? QString() : "  <dir>" + moreFonts + "</dir>\n")
            .toUtf8());
    return path;
}

QString fontConfig;

Finished run(const QString& program, const QStringList& args)
{
    QProcess p;
    if (!fontConfig.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("FONTCONFIG_FILE", fontConfig);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    Finished r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString inspect() { return qEnvironmentVariable("QUILLON_BINARY_DIR") + "/quillon-inspect"; }

std::vector<Word> words(const QString& pdf)
{
    std::vector<Word> list;
    const Finished r = run("pdftotext", {"-bbox", pdf, "-"});
    EXPECT_EQ(r.exitCode, 0) << "pdftotext (poppler-utils) is needed: " << r.err.toStdString();
    const QString html = QString::fromUtf8(r.out);
    static const QRegularExpression token(QStringLiteral(
        R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    int page = -1;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == "<page ") {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
        list.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                        m.captured(4).toDouble(), text});
    }
    return list;
}

// The words of one page whose tops stand at y and which start at or right of x, joined by blanks.
QString lineAt(const std::vector<Word>& all, int page, double y, double fromX, double* firstX = nullptr,
               double* height = nullptr)
{
    QStringList parts;
    for (const Word& w : all) {
        if (w.page != page || std::abs(w.y - y) > kTolerance || w.x < fromX - kTolerance) continue;
        if (parts.isEmpty()) {
            if (firstX) *firstX = w.x;
            if (height) *height = w.bottom - w.y;
        }
        parts << w.text;
    }
    return parts.join(' ');
}

struct Printed {
    QTemporaryDir dir;
    QString pdf;
    QStringList details;
};

} // namespace

TEST(PrintPdf, TheSamplePageOfAFaceStandsWhereTheLayoutPutsIt)
{
    Printed printed;
    ASSERT_TRUE(printed.dir.isValid());
    printed.pdf = printed.dir.filePath("sample.pdf");
    fontConfig = fontConfigWithArial(printed.dir);

    // The details text the page must carry is the one the details command reports for the face.
    const Finished details = run(inspect(), {"details", "DejaVu Sans"});
    ASSERT_EQ(details.exitCode, 0) << details.err.toStdString();
    for (const QString& line : QString::fromUtf8(details.out).split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith("Copyright\t")) printed.details << line;
    ASSERT_FALSE(printed.details.isEmpty());
    const int n = int(printed.details.size());

    const Finished print = run(inspect(), {"print", "DejaVu Sans", "--pdf", printed.pdf, "--copies", "2"});
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();

    const Finished info = run("pdfinfo", {printed.pdf});
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(QRegularExpression("Pages:\\s+2\\n")))
        << info.out.toStdString();

    const std::vector<Word> all = words(printed.pdf);
    double x = -1;
    EXPECT_EQ(lineAt(all, 0, pt(120), 0, &x), "Font Name: DejaVu Sans");
    EXPECT_NEAR(x, pt(60), kTolerance);

    EXPECT_EQ(lineAt(all, 0, pt(1065), 0, &x).section(' ', 0, 0), "Details:");
    EXPECT_NEAR(x, pt(60), kTolerance);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(printed.details[i].toStdString());
        EXPECT_EQ(lineAt(all, 0, pt(1065 + 255 * i), pt(990), &x), printed.details[i]);
        EXPECT_NEAR(x, pt(990), kTolerance);
    }

    // The 72-point line, lower by 255 twips for each details line: its label and its sample share a top.
    const int top72 = 9740 + 255 * n;
    EXPECT_EQ(lineAt(all, 0, pt(top72), 0, &x).section(' ', 0, 0), "72");
    EXPECT_NEAR(x, pt(60), kTolerance);
    double height = 0;
    EXPECT_TRUE(lineAt(all, 0, pt(top72), pt(530), &x, &height).startsWith("The quick brown"));
    EXPECT_NEAR(x, pt(530), kTolerance);
    EXPECT_GT(height, 60.0); // set at 72 points, not at the label's size

    // The second copy is the same page.
    std::vector<Word> first, second;
    for (const Word& w : all) (w.page == 0 ? first : second).push_back(w);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].text, second[i].text);
        EXPECT_NEAR(first[i].x, second[i].x, 0.01);
        EXPECT_NEAR(first[i].y, second[i].y, 0.01);
    }

    // Nothing starts within a few millimetres of the paper's edge, and above the size lines (which run on
    // past the printable area and are cut off there, see below) nothing ends there either.
    for (const Word& w : all) {
        SCOPED_TRACE(w.text.toStdString());
        EXPECT_GE(w.x, kMargin - kTolerance);
        EXPECT_GE(w.y, kMargin - kTolerance);
        EXPECT_LE(w.bottom, kA4Height - kMargin + kTolerance);
        if (w.y < pt(4050 + 255 * n)) {
            EXPECT_LE(w.right, kA4Width - kMargin + kTolerance);
        }
    }

    // The rules, seen on the page rendered at 144 dots per inch (10 twips a dot, 2 dots a point): dark from
    // x 60 twips to the printable area's right edge at each rule's three lines, where they are cut off as a
    // printer cuts them; white just above them, left of their start and in the margin to the right.
    const QString prefix = printed.dir.filePath("page");
    ASSERT_EQ(run("pdftoppm", {"-gray", "-r", "144", "-f", "1", "-l", "1", printed.pdf, prefix}).exitCode, 0);
    QImage image(prefix + "-1.pgm");
    ASSERT_FALSE(image.isNull());
    image = image.convertToFormat(QImage::Format_Grayscale8);
    const int marginDots = int(kMargin * 2);
    auto darkest = [&](int x, int fromTwips, int toTwips) {
        int value = 255;
        for (int y = marginDots + fromTwips / 10; y <= marginDots + toTwips / 10; ++y)
            value = std::min(value, qGray(image.pixel(x, y)));
        return value;
    };
    const int rules[] = {855, 1065 + 255 * n + 210, 4050 + 255 * n};
    const int rightEdge = image.width() - marginDots;
    for (int rule : rules) {
        SCOPED_TRACE(rule);
        for (int xDot = marginDots + 8; xDot < rightEdge - 2; xDot += 7)
            ASSERT_LT(darkest(xDot, rule, rule + 10), 160) << xDot;
        EXPECT_GT(darkest(marginDots + 3, rule, rule + 10), 230);
        for (int xDot = rightEdge + 1; xDot < image.width(); ++xDot)
            ASSERT_GT(darkest(xDot, rule, rule + 10), 230) << xDot;
    }
    for (int xDot = 0; xDot < image.width(); xDot += 5) ASSERT_GT(darkest(xDot, 790, 810), 230) << xDot;
    // The margins stay white all round.
    for (int y = 0; y < image.height(); y += 3)
        for (int x : {0, marginDots - 4, image.width() - marginDots + 3, image.width() - 1})
            ASSERT_GT(qGray(image.pixel(x, y)), 230) << x << "," << y;
}

TEST(PrintPdf, BadArgumentsAndAnUnwritableFileFailWithAMessage)
{
    QTemporaryDir dir;
    for (const QStringList& args :
         {QStringList{"print"}, QStringList{"print", "DejaVu Sans"},
          QStringList{"print", "DejaVu Sans", "--pdf", dir.filePath("a.pdf"), "--copies", "0"},
          QStringList{"print", "DejaVu Sans", "--pdf", dir.filePath("a.pdf"), "--copies", "x"},
          QStringList{"print", "DejaVu Sans", "--pdf", dir.filePath("no/such/dir/a.pdf")}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Finished r = run(inspect(), args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(PrintPdf, AFaceWithoutLatinLettersPrintsItsOwnGlyphsOnly)
{
    // An Arabic-only face: its alphabet rows and size lines show its missing-glyph mark, as on the
    // screen, and no other font lends it a Latin alphabet.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("fonts"));
    quillon::test::Os2Fields arabic;
    arabic.codePageRange1 = 1u << 6;
    arabic.firstChar = 0x0600;
    arabic.lastChar = 0x06FF;
    const QString face = QStringLiteral("Quillon Probe Arabic");
    auto names =
        quillon::test::SfntWriter::names(face, QStringLiteral("Regular"), face + QStringLiteral(" Regular"));
    names.push_back(
        {3, 1, 0x0409, 6, quillon::test::SfntWriter::utf16(QStringLiteral("QuillonProbeArabic"))});
    ASSERT_TRUE(quillon::test::SfntWriter::writeFile(dir.filePath("fonts/arabic.ttf"),
                                                     quillon::test::SfntWriter::minimalFont(names, arabic)));
    fontConfig = fontConfigWithArial(dir, dir.filePath("fonts"));
    const QString pdf = dir.filePath("arabic.pdf");
    const Finished print = run(inspect(), {"print", face, "--pdf", pdf});
    fontConfig.clear();
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();

    const Finished fontsUsed = run("pdffonts", {pdf});
    ASSERT_EQ(fontsUsed.exitCode, 0) << fontsUsed.err.toStdString();
    QStringList used;
    const QStringList lines = QString::fromUtf8(fontsUsed.out).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) used << lines[i].section(' ', 0, 0);
    // The labels' font and the face itself, nothing else.
    ASSERT_EQ(used.size(), 2) << fontsUsed.out.toStdString();
    EXPECT_EQ(used.filter("LiberationSans").size(), 1) << fontsUsed.out.toStdString();
    EXPECT_EQ(used.filter("QuillonProbeArabic").size(), 1) << fontsUsed.out.toStdString();

    QStringList text;
    for (const Word& w : words(pdf)) text << w.text;
    EXPECT_TRUE(text.contains(QStringLiteral("Normal:")));
    EXPECT_FALSE(text.contains(QStringLiteral("abcdefghijklmnopqrstuvwxyz")));
    EXPECT_FALSE(text.contains(QStringLiteral("quick")));
}
