// quillon-inspect book --pdf OUT [--text T] [--faces REGEX]: the book of the listed faces, as the summary
// window prints it, written to a PDF file with an outline by first letter.
#include "tools/inspect/Commands.h"

#include "base/PdfOutline.h"
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "platform/Platform.h"
#include "summary/FontBook.h"
#include "summary/SummaryPainter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

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
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg != QLatin1String("--pdf") && arg != QLatin1String("--text") &&
            arg != QLatin1String("--faces"))
            return fail("unexpected argument " + arg);
        if (i + 1 >= args.size()) return fail(arg + " needs a value");
        const QString value = args[++i];
        if (arg == QLatin1String("--pdf"))
            out = value;
        else if (arg == QLatin1String("--text"))
            text = value;
        else
            pattern = value;
    }
    if (out.isEmpty()) return fail(QStringLiteral("usage: book --pdf OUT [--text T] [--faces REGEX]"));
    // A row is one line of text: line breaks and other controls would only be drawn as boxes.
    text.replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")), QStringLiteral(" "));
    if (text.trimmed().isEmpty() || text.size() > kMaxSampleLength)
        return fail(QStringLiteral("--text takes 1 to %1 characters").arg(kMaxSampleLength));
    const QRegularExpression filter(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!filter.isValid()) return fail("--faces is not a regular expression: " + filter.errorString());

    FontCatalogue catalogue;
    MemoryFaceList fontList;
    FontListLoader(platform.registry, platform.systemInfo, catalogue).LoadFontList(fontList);
    QStringList faces;
    for (const QString& face : catalogue.fontNames)
        if (pattern.isEmpty() || filter.match(face).hasMatch()) faces << face;
    if (faces.isEmpty()) return fail(QStringLiteral("no face is listed under that pattern"));
    const FontBook fontBook(FontBook::sortedLikeSummary(faces));

    // The book is written beside the target and takes its place only once it is whole, outline and all:
    // a failure never leaves a half book, nor destroys an earlier one.
    const QString path = QFileInfo(out).absoluteFilePath();
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly)) return fail("cannot write " + out + ": " + target.errorString());
    QTemporaryFile draftFile(QFileInfo(path).absolutePath() + QStringLiteral("/.quillon-book-XXXXXX.pdf"));
    if (!draftFile.open()) return fail("cannot write beside " + out + ": " + draftFile.errorString());
    const QString draft = draftFile.fileName();
    draftFile.close(); // the writer opens it by name; the draft is removed when it goes out of scope
    bool drawn = false;
    double sheetHeight = 0;
    FontBook::Geometry sheet;
    {
        QPdfWriter writer(draft);
        writer.setCreator(QStringLiteral("Quillon"));
        writer.setTitle(QStringLiteral("Font book"));
        writer.setResolution(1200);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        sheet = FontBook::geometry(writer.pageLayout());
        sheetHeight = writer.pageLayout().fullRect(QPageLayout::Point).height();
        SummaryPainter rows(QGuiApplication::font().family(), &FontBook::rowDevice());
        rows.useFontSystem(&platform.fontSystem,
                           nullptr); // text, not pictures of it: the PDF keeps the fonts
        rows.setSample(text);
        // Qt lets go of the fonts it no longer uses from its event loop; a page is a good moment for that.
        drawn = fontBook.print(writer, rows, [](int) { QCoreApplication::processEvents(); });
    }
    QString error = drawn ? PdfOutline::add(draft, fontBook.outline(sheet, sheetHeight))
                          : QStringLiteral("drawing failed");
    if (error.isEmpty()) {
        QFile part(draft);
        if (!part.open(QIODevice::ReadOnly)) error = part.errorString();
        while (error.isEmpty() && !part.atEnd()) {
            const QByteArray chunk = part.read(1 << 20);
            if (target.write(chunk) != chunk.size()) error = target.errorString();
        }
    }
    if (!error.isEmpty()) return fail("could not write " + out + ": " + error);
    if (!target.commit()) return fail("could not write " + out + ": " + target.errorString());
    std::printf("%s\t%d\t%d\n", qPrintable(path), fontBook.pageCount(), int(fontBook.faces().size()));
    return 0;
}

} // namespace quillon::inspect
