#include "summary/FontBookPdf.h"

#include "base/PdfJoin.h"
#include "base/PdfOutline.h"
#include "summary/FontBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>

namespace quillon {

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

// Copies the finished book into the target, which takes the place of an earlier file only when it commits.
QString copyInto(const QString& from, QSaveFile& target)
{
    QFile book(from);
    if (!book.open(QIODevice::ReadOnly)) return book.errorString();
    while (!book.atEnd()) {
        const QByteArray chunk = book.read(kCopyChunk);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) return target.errorString();
    }
    return target.commit() ? QString() : target.errorString();
}

} // namespace

QString FontBookPdf::write(const FontBook& book, SummaryPainter& rows, const QString& path,
                           const Settings& settings)
{
    if (book.faces().isEmpty() || settings.copies < 1) return QStringLiteral("nothing to print");
    const QString target = QFileInfo(path).absoluteFilePath();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write the file: ") + out.errorString();
    // Beside the target rather than in the temporary folder: the parts are as large as the book, and the
    // temporary folder may be kept in memory. Hidden, readable by the user only, removed at the end.
    QTemporaryDir parts(QFileInfo(target).absolutePath() + QStringLiteral("/.quillon-book-XXXXXX"));
    if (!parts.isValid()) return QStringLiteral("cannot write beside the file: ") + parts.errorString();

    const int sheets = book.pageCount() * settings.copies;
    const int perPart = std::max(1, settings.pagesPerPart);
    QStringList files;
    for (int first = 0; first < sheets; first += perPart) {
        const QString file = parts.filePath(QStringLiteral("part-%1.pdf").arg(files.size() + 1));
        QPdfWriter writer(file);
        writer.setCreator(QStringLiteral("Quillon"));
        writer.setTitle(settings.title);
        writer.setResolution(1200);
        writer.setPageLayout(settings.layout);
        const bool drawn =
            book.printSheets(writer, rows, first, std::min(perPart, sheets - first), [&](int sheet) {
                if (settings.progress) settings.progress(sheet, sheets);
            });
        if (!drawn) return QStringLiteral("the book could not be drawn");
        files << file;
    }

    const QString joined = parts.filePath(QStringLiteral("book.pdf"));
    QFile joinedFile(joined);
    if (!joinedFile.open(QIODevice::WriteOnly)) return joinedFile.errorString();
    QString error = PdfJoin::join(files, joinedFile);
    joinedFile.close();
    for (const QString& file : std::as_const(files)) QFile::remove(file); // room for the copy
    if (error.isEmpty())
        error = PdfOutline::add(joined, book.outline(FontBook::geometry(settings.layout),
                                                     settings.layout.fullRect(QPageLayout::Point).height()));
    if (error.isEmpty()) error = copyInto(joined, out);
    return error;
}

} // namespace quillon
