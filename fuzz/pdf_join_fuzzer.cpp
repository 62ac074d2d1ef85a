// Feeds bytes, taken as one part of a book, to the joiner (twice over, as two parts) and to the outline
// writer. The parts are the program's own files, but a joiner that crashed or wrote a broken book on a file
// it misread would lose the whole book, so:
// - the outline either appends to the file or leaves it byte for byte as it was;
// - a joined file reads back through PdfFile with every object where its table says, lists twice the
//   part's pages in one flat page tree, and takes an outline pointing at its last page.
#include "FuzzCheck.h"

#include "pdf/PdfFile.h"
#include "pdf/PdfJoin.h"
#include "pdf/PdfOutline.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

using quillon::PdfFile;
using quillon::PdfJoin;
using quillon::PdfOutline;
using quillon::fuzz::check;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
          "cannot write a scratch file", path);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pages of a PDF held in memory, when PdfFile reads its page tree.
std::optional<std::size_t> pagesOf(QByteArray bytes, bool everyObject)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    PdfFile pdf(buffer);
    if (!pdf.readStructure()) return std::nullopt;
    if (everyObject)
        for (const auto& [number, entry] : pdf.objects())
            check(pdf.objectText({number, entry.generation}).has_value(),
                  "a joined object is not where its table says", QString::number(number));
    const auto catalogue = pdf.object(pdf.root());
    const auto tree = catalogue ? pdf.pageTree(*catalogue) : std::nullopt;
    if (!tree) return std::nullopt;
    return tree->pages.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString outlined = dir.filePath(QStringLiteral("outlined.pdf"));
    writeFile(outlined, input);
    PdfOutline outline(outlined);
    const bool outlineAdded = outline.add({{QStringLiteral("A"), 0, -1, {}}});
    const QByteArray afterOutline = contents(outlined);
    if (outlineAdded)
        check(afterOutline.startsWith(input) && afterOutline.size() > input.size(),
              "the outline rewrote the file");
    else
        check(afterOutline == input, "a refused outline changed the file", outline.problem());

    const QString part = dir.filePath(QStringLiteral("part.pdf"));
    writeFile(part, input);
    QByteArray joined;
    QBuffer out(&joined);
    out.open(QIODevice::WriteOnly);
    if (!PdfJoin(out).join({part, part})) return 0;
    out.close();

    const auto partPages = pagesOf(input, false);
    const auto joinedPages = pagesOf(joined, true);
    check(partPages && joinedPages && *joinedPages == 2 * *partPages,
          "the joined page tree is not both parts' pages");
    const QString book = dir.filePath(QStringLiteral("book.pdf"));
    writeFile(book, joined);
    PdfOutline bookOutline(book);
    check(bookOutline.add({{QStringLiteral("Z"), int(*joinedPages) - 1, 10, {}}}),
          "the joined file takes no outline", bookOutline.problem());
    return 0;
}
