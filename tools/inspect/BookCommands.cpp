// quillon-inspect book --pdf OUT [--text T] [--faces REGEX]: the book of the listed faces, as the summary
// window prints it, written to a PDF file with an outline by first letter. --pages-per-part N: how many pages
// each part of the book holds while it is written (FontBookPdf), for measuring and for tests.
#include "tools/inspect/Commands.h"

#include "platform/Platform.h"
#include "summary/FontBook.h"
#include "summary/FontBookPdf.h"
#include "summary/SummaryPainter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>

namespace quillon::inspect {

namespace {

constexpr int kMaxSampleLength = 200; // characters: a row is one line, and the summary's picture clips it

int fail(const QString& message)
{
    std::fprintf(stderr, "quillon-inspect book: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int book(platform::Platform& platform, const QStringList& args)
{
    QString out;
    QString text = SummaryPainter::kSample;
    QString pattern;
    int pagesPerPart = FontBookPdf::kPagesPerPart;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg != QLatin1String("--pdf") && arg != QLatin1String("--text") &&
            arg != QLatin1String("--faces") && arg != QLatin1String("--pages-per-part"))
            return fail("unexpected argument " + arg);
        if (i + 1 >= args.size()) return fail(arg + " needs a value");
        const QString value = args[++i];
        if (arg == QLatin1String("--pdf"))
            out = value;
        else if (arg == QLatin1String("--text"))
            text = value;
        else if (arg == QLatin1String("--pages-per-part"))
            pagesPerPart = value.toInt();
        else
            pattern = value;
    }
    if (out.isEmpty())
        return fail(QStringLiteral("usage: book --pdf OUT [--text T] [--faces REGEX] [--pages-per-part N]"));
    if (pagesPerPart < 1) return fail(QStringLiteral("--pages-per-part takes a number from 1"));
    // A row is one line of text: line breaks and other controls would only be drawn as boxes.
    text.replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")), QStringLiteral(" "));
    if (text.trimmed().isEmpty() || text.size() > kMaxSampleLength)
        return fail(QStringLiteral("--text takes 1 to %1 characters").arg(kMaxSampleLength));
    const QRegularExpression filter(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!filter.isValid()) return fail("--faces is not a regular expression: " + filter.errorString());

    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    QStringList faces;
    for (const QString& face : catalogue.fontNames)
        if (pattern.isEmpty() || filter.match(face).hasMatch()) faces << face;
    if (faces.isEmpty()) return fail(QStringLiteral("no face is listed under that pattern"));
    const FontBook fontBook(FontBook::sortedLikeSummary(faces));

    // One page's faces: each is drawn once, and what is kept holds the face's font loaded.
    SummaryPainter rows(QGuiApplication::font().family(), &FontBook::rowDevice(), FontBook::kRowsPerPage);
    rows.useFontSystem(&platform.fontSystem, nullptr); // text, not pictures of it: the PDF keeps the fonts
    rows.setSample(text);
    FontBookPdf::Settings settings;
    settings.layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    settings.pagesPerPart = pagesPerPart;
    settings.title = QStringLiteral("Font book");
    // Qt lets go of the fonts it no longer uses from its event loop; a page is a good moment for that.
    settings.progress = [](int, int) { QCoreApplication::processEvents(); };
    QStringList leftOut;
    settings.leftOut = &leftOut;
    const QString path = QFileInfo(out).absoluteFilePath();
    if (const QString error = FontBookPdf::write(fontBook, rows, path, settings); !error.isEmpty())
        return fail("could not write " + out + ": " + error);
    // The faces the book had to leave out, one a line on standard error (also on the book's last page).
    for (const QString& face : std::as_const(leftOut))
        std::fprintf(stderr, "quillon-inspect book: left out %s\n", qPrintable(face));
    // Pages of the file, the closing page of faces left out included; faces in it.
    const int written = int(fontBook.faces().size() - leftOut.size());
    const int pages = FontBook(QStringList(written, QString())).pageCount() + (leftOut.isEmpty() ? 0 : 1);
    std::printf("%s\t%d\t%d\n", qPrintable(path), pages, written);
    return 0;
}

} // namespace quillon::inspect
