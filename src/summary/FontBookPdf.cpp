#include "summary/FontBookPdf.h"

#include "pdf/PdfJoin.h"
#include "pdf/PdfOutline.h"
#include "platform/Log.h"
#include "platform/ReplacingFile.h"
#include "platform/ScratchFolder.h"
#include "summary/FontBook.h"
#include "summary/SummaryPainter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace quillon {

namespace {

const QString kPartsPrefix = QStringLiteral(".quillon-book");

void setUp(QPdfWriter& writer, const FontBookPdf::Settings& settings)
{
    writer.setCreator(QStringLiteral("Quillon"));
    writer.setTitle(settings.title);
    writer.setResolution(1200);
    writer.setPageLayout(settings.layout);
}

/// Why the joiner would refuse the PDF at path; empty when it takes it.
QString refusal(const QString& path)
{
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    PdfJoin join(sink);
    return join.join({path}) ? QString() : join.problem();
}

/// Draws sheets [first, first + count) of book into a PDF of their own at path; false when nothing could
/// be drawn.
bool drawSheets(const FontBook& book, SummaryPainter& rows, const QString& path, int first, int count,
                const FontBookPdf::Settings& settings, const std::function<void(int)>& sheetDone = {})
{
    QPdfWriter writer(path);
    setUp(writer, settings);
    return book.printSheets(writer, rows, first, count, sheetDone);
}

/// The faces among `faces` that Qt's PDF writer cannot write so that the file can be read back (it has
/// written broken font descriptions for some damaged fonts), each with the reason. Each is tried alone on a
/// sheet of its own; a group that comes out whole clears all its faces at once.
QStringList unwritableFaces(const QStringList& faces, SummaryPainter& rows, const QString& scratch,
                            const FontBookPdf::Settings& settings, QStringList& reasons)
{
    QStringList found;
    const auto tryFaces = [&](const QStringList& group) {
        const FontBook alone(group);
        if (!drawSheets(alone, rows, scratch, 0, alone.pageCount(), settings))
            return QStringLiteral("it cannot be drawn");
        QString why = refusal(scratch);
        QFile::remove(scratch);
        why.remove(QRegularExpression(QStringLiteral("^part \\d+ of \\d+: ")));
        return why.isEmpty()
                   ? why
                   : QStringLiteral("the PDF writer wrote it so that it cannot be read back (%1)").arg(why);
    };
    for (qsizetype at = 0; at < faces.size(); at += FontBook::kRowsPerPage) {
        const QStringList page = faces.mid(at, FontBook::kRowsPerPage);
        if (tryFaces(page).isEmpty()) continue;
        for (const QString& face : page)
            if (const QString why = tryFaces({face}); !why.isEmpty()) {
                found << face;
                reasons << why;
            }
    }
    return found;
}

/// A closing page naming the faces left out of the book and why, in the labels' face.
bool drawLeftOutPage(const QString& path, const QStringList& lines, const QFont& font,
                     const FontBookPdf::Settings& settings)
{
    QPdfWriter writer(path);
    setUp(writer, settings);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    QFont f = font;
    f.setPointSizeF(10); // points on the writer's own resolution
    painter.setFont(f);
    const QRectF area(0, 0, writer.width(), writer.height()); // inside the sheet's margins
    QString text = QStringLiteral("Faces left out of this book, as they could not be drawn into a PDF:\n\n");
    text += lines.join(QLatin1Char('\n'));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return painter.end();
}

} // namespace

QString FontBookPdf::write(const FontBook& wholeBook, SummaryPainter& rows, const QString& path,
                           const Settings& settings)
{
    if (wholeBook.faces().isEmpty() || settings.copies < 1) return QStringLiteral("nothing to print");
    const auto cancelled = [&] { return settings.cancelled && settings.cancelled(); };
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString folder = QFileInfo(target).absolutePath();
    // A run that was killed could not remove its parts: they go now, before this run adds its own.
    platform::ScratchFolder::removeAbandoned(folder, kPartsPrefix);
    // Beside the target rather than in the temporary folder: the parts are as large as the book, and the
    // temporary folder may be kept in memory. Hidden, readable by the user only, removed at the end.
    platform::ScratchFolder parts(folder, kPartsPrefix);
    if (!parts.isValid()) return QStringLiteral("cannot write beside the file: ") + parts.problem();

    FontBook book = wholeBook;
    QStringList leftOut;
    const int perPart = std::max(1, settings.pagesPerPart);
    QStringList files;
    int sheets = book.pageCount() * settings.copies;
    for (int first = 0; first < sheets; first += perPart) {
        if (cancelled()) return kCancelled;
        const int count = std::min(perPart, sheets - first);
        const QString file = parts.filePath(QStringLiteral("part-%1.pdf").arg(files.size() + 1));
        const bool drawn = drawSheets(book, rows, file, first, count, settings, [&](int sheet) {
            if (settings.progress) settings.progress(sheet, sheets);
        });
        if (!drawn) return QStringLiteral("the book could not be drawn");
        const QString why = refusal(file);
        if (why.isEmpty()) {
            files << file;
            continue;
        }
        // Qt's writer does not report a failed write: a part cut short by a full disk is told as such, not
        // blamed on its faces.
        if (platform::ReplacingFile::diskIsFull(folder))
            return platform::ReplacingFile::reasonFor(ENOSPC, folder);
        // One face Qt's writer cannot write makes the part unreadable: that face is left out and named,
        // and the part drawn again without it, rather than the whole book given up.
        QFile::remove(file);
        const int firstFace = (first % book.pageCount()) * FontBook::kRowsPerPage;
        QStringList reasons;
        const QStringList bad =
            unwritableFaces(book.faces().mid(firstFace, count * FontBook::kRowsPerPage), rows,
                            parts.filePath(QStringLiteral("face.pdf")), settings, reasons);
        if (bad.isEmpty()) return QStringLiteral("part %1 of the book: %2").arg(files.size() + 1).arg(why);
        QStringList kept = book.faces();
        for (qsizetype i = 0; i < bad.size(); ++i) {
            kept.removeAll(bad.at(i));
            leftOut << bad.at(i) + QStringLiteral(": ") + reasons.at(i);
            qCDebug(log::printing) << "face" << bad.at(i) << "is left out of the book:" << reasons.at(i);
        }
        if (kept.isEmpty()) return QStringLiteral("no face could be drawn into the book");
        book = FontBook(kept);
        sheets = book.pageCount() * settings.copies;
        // The sheets already written show the same faces in the shortened book, unless later copies are
        // among them (each copy starts the faces over): those are drawn anew.
        if (settings.copies > 1) {
            for (const QString& written : std::as_const(files)) QFile::remove(written);
            files.clear();
            first = -perPart;
        } else {
            first -= perPart;
        }
    }
    if (!leftOut.isEmpty()) {
        const QString closing = parts.filePath(QStringLiteral("left-out.pdf"));
        if (drawLeftOutPage(closing, leftOut, rows.labelFont(), settings) && refusal(closing).isEmpty())
            files << closing;
        if (settings.leftOut) *settings.leftOut = leftOut;
    }
    if (cancelled()) return kCancelled;

    const QString joined = parts.filePath(QStringLiteral("book.pdf"));
    QFile joinedFile(joined);
    if (!joinedFile.open(QIODevice::WriteOnly)) return joinedFile.errorString();
    PdfJoin join(joinedFile);
    QString error = join.join(files) ? QString() : join.problem();
    if (error.isEmpty() && !joinedFile.flush()) error = joinedFile.errorString();
    joinedFile.close();
    for (const QString& file : std::as_const(files)) QFile::remove(file); // room for the copy
    if (error.isEmpty()) {
        PdfOutline outline(joined);
        if (!outline.add(book.outline(FontBook::geometry(settings.layout),
                                      settings.layout.fullRect(QPageLayout::Point).height())))
            error = outline.problem();
    }
    if (!error.isEmpty())
        return platform::ReplacingFile::diskIsFull(folder)
                   ? platform::ReplacingFile::reasonFor(ENOSPC, folder)
                   : error;
    if (cancelled()) return kCancelled;
    // The finished book takes the place of an earlier file only once it is wholly on the disk.
    platform::ReplacingFile out(target);
    if (!out.open() || !out.copyFrom(joined) || !out.commit())
        return QStringLiteral("cannot write the file: ") + out.problem();
    return QString();
}

} // namespace quillon
