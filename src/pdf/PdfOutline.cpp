#include "pdf/PdfOutline.h"

#include "pdf/PdfFile.h"
#include "platform/Log.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace quillon {

namespace {

QByteArray ref(long long number, long long generation = 0) { return PdfFile::reference(number, generation); }

QByteArray number(double value) { return QByteArray::number(value, 'f', 2); }

// Writes the objects of the outline; numbers are handed out in the order the objects are written.
class Writer {
public:
    Writer(long long firstNumber, qint64 startOffset, const std::vector<PdfRef>& pages)
        : next_(firstNumber), offset_(startOffset), pages_(pages)
    {
    }

    long long reserve() { return next_++; }

    // Writes items as the children of `parent`; returns their count including their open descendants
    // (closed items count as one).
    int writeLevel(const std::vector<PdfOutlineItem>& items, long long parent, long long& first,
                   long long& last)
    {
        std::vector<long long> numbers;
        for (std::size_t i = 0; i < items.size(); ++i) numbers.push_back(reserve());
        first = numbers.empty() ? 0 : numbers.front();
        last = numbers.empty() ? 0 : numbers.back();
        for (std::size_t i = 0; i < items.size(); ++i) {
            const PdfOutlineItem& item = items[i];
            long long childFirst = 0, childLast = 0;
            const int descendants = writeLevel(item.children, numbers[i], childFirst, childLast);
            QByteArray dict = "<< /Title " + PdfOutline::textString(item.title) + " /Parent " + ref(parent);
            if (i > 0) dict += " /Prev " + ref(numbers[i - 1]);
            if (i + 1 < items.size()) dict += " /Next " + ref(numbers[i + 1]);
            if (childFirst != 0)
                dict += " /First " + ref(childFirst) + " /Last " + ref(childLast) + " /Count " +
                        QByteArray::number(-descendants);
            const PdfRef& page = pages_[std::size_t(item.page)];
            dict += " /Dest [" + ref(page.number, page.generation) + " /XYZ null " +
                    (item.top < 0 ? QByteArray("null") : number(item.top)) + " null] >>";
            writeObject(numbers[i], dict);
        }
        return int(items.size());
    }

    void writeObject(long long number, const QByteArray& dictionary, long long generation = 0)
    {
        written_[number] = offset_;
        const QByteArray text = QByteArray::number(number) + ' ' + QByteArray::number(generation) + " obj\n" +
                                dictionary + "\nendobj\n";
        out_ += text;
        offset_ += text.size();
    }

    QByteArray& out() { return out_; }
    qint64 offset() const { return offset_; }
    long long next() const { return next_; }
    const std::map<long long, qint64>& written() const { return written_; }

private:
    long long next_;
    qint64 offset_;
    const std::vector<PdfRef>& pages_;
    QByteArray out_;
    std::map<long long, qint64> written_;
};

bool pagesValid(const std::vector<PdfOutlineItem>& items, std::size_t pages)
{
    for (const PdfOutlineItem& item : items)
        if (item.page < 0 || std::size_t(item.page) >= pages || !pagesValid(item.children, pages))
            return false;
    return true;
}

/// The file identifier of a changed file: the first half as the file had it (when it had one), the second
/// a digest of the update.
QByteArray identifierAfter(const QByteArray& trailer, const QByteArray& update)
{
    const QByteArray now = QCryptographicHash::hash(update, QCryptographicHash::Md5).toHex().toUpper();
    static const QRegularExpression pattern(QStringLiteral("/ID\\s*\\[\\s*<([0-9A-Fa-f]{1,64})>"));
    const QRegularExpressionMatch had = pattern.match(QString::fromLatin1(trailer));
    const QByteArray first = had.hasMatch() ? had.captured(1).toLatin1() : now;
    return " /ID [<" + first + "> <" + now + ">]";
}

QString appendOutline(const QString& path, const std::vector<PdfOutlineItem>& items)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return QStringLiteral("cannot open the file: ") + file.errorString();
    PdfFile pdf(file);
    if (!pdf.readStructure()) return pdf.problem();
    const auto catalogue = pdf.object(pdf.root());
    if (!catalogue || !catalogue->startsWith("<<") || !catalogue->endsWith(">>"))
        return QStringLiteral("the catalogue cannot be read");
    if (catalogue->contains("/Outlines")) return QStringLiteral("the file has an outline already");
    const auto tree = pdf.pageTree(*catalogue);
    if (!tree) return pdf.problem();
    const std::vector<PdfRef>& pages = tree->pages;
    if (!pagesValid(items, pages.size()))
        return QStringLiteral("an outline entry names a page the file lacks");
    const long long size = pdf.objectCount();
    const PdfRef root = pdf.root();

    // The update starts on a line of its own after whatever the file ends with.
    Writer writer(size, pdf.size() + 1, pages);
    const long long outlines = writer.reserve();
    long long first = 0, last = 0;
    const int shown = writer.writeLevel(items, outlines, first, last);
    QByteArray dict = "<< /Type /Outlines";
    if (first != 0) dict += " /First " + ref(first) + " /Last " + ref(last);
    dict += " /Count " + QByteArray::number(shown) + " >>";
    writer.writeObject(outlines, dict);
    QByteArray newCatalogue = catalogue->left(catalogue->size() - 2).trimmed();
    newCatalogue += "\n/Outlines " + ref(outlines) + "\n/PageMode /UseOutlines\n>>";
    writer.writeObject(root.number, newCatalogue, root.generation);

    // One subsection for the replaced catalogue, one for the new objects, which are numbered in a run.
    const qint64 xref = writer.offset();
    QByteArray table = "xref\n";
    const auto entry = [](qint64 offset, long long generation) {
        return QByteArray::number(offset).rightJustified(10, '0') + ' ' +
               QByteArray::number(generation).rightJustified(5, '0') + " n \n";
    };
    table +=
        QByteArray::number(root.number) + " 1\n" + entry(writer.written().at(root.number), root.generation);
    table += QByteArray::number(size) + ' ' + QByteArray::number(writer.next() - size) + '\n';
    for (long long n = size; n < writer.next(); ++n) table += entry(writer.written().at(n), 0);
    table += "trailer\n<< /Size " + QByteArray::number(writer.next()) + " /Root " +
             ref(root.number, root.generation);
    if (const auto info = pdf.info()) table += " /Info " + ref(info->number, info->generation);
    table += identifierAfter(pdf.trailer(), writer.out());
    table += " /Prev " + QByteArray::number(pdf.xrefOffset()) + " >>\nstartxref\n" +
             QByteArray::number(xref) + "\n%%EOF\n";

    const QByteArray update = '\n' + writer.out() + table;
    if (!file.seek(pdf.size()) || file.write(update) != update.size() || !file.flush()) {
        file.resize(pdf.size()); // the original ends where it ended
        return QStringLiteral("cannot write the outline: ") + file.errorString();
    }
    return QString();
}

} // namespace

QByteArray PdfOutline::textString(const QString& title)
{
    const QString text = title.left(kMaxTitle);
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) ascii = false;
    if (ascii) {
        QByteArray literal = "(";
        for (QChar c : text) {
            if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('\\')) literal += '\\';
            literal += char(c.unicode());
        }
        return literal + ')';
    }
    QByteArray hex = "<FEFF";
    for (QChar c : text) hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

bool PdfOutline::add(const std::vector<PdfOutlineItem>& items)
{
    problem_ = appendOutline(path_, items);
    if (problem_.isEmpty()) return true;
    qCDebug(log::printing) << "no outline added to" << path_ << "-" << problem_;
    return false;
}

} // namespace quillon
