#include "base/PdfOutline.h"

#include <QFile>
#include <QRegularExpression>

#include <map>
#include <optional>

namespace quillon {

namespace {

// Bounds of what is read: the tail holding "startxref", one object, the whole cross-reference table.
constexpr qint64 kTailBytes = 4096;
constexpr qint64 kMaxObjectBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxXrefEntries = 10'000'000;

struct Reference {
    long long number = 0;
    long long generation = 0;
};

struct Source {
    QFile& file;
    qint64 size = 0;

    QByteArray read(qint64 at, qint64 length)
    {
        if (at < 0 || at >= size) return QByteArray();
        if (!file.seek(at)) return QByteArray();
        return file.read(std::min(length, size - at));
    }
};

std::optional<Reference> referenceAfter(const QByteArray& dictionary, const char* key)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,10})\\s+(\\d{1,5})\\s+R"));
    const qsizetype at = dictionary.indexOf(key);
    if (at < 0) return std::nullopt;
    const QString rest = QString::fromLatin1(dictionary.mid(at + qstrlen(key), 40));
    const QRegularExpressionMatch m = pattern.match(rest);
    if (!m.hasMatch()) return std::nullopt;
    return Reference{m.captured(1).toLongLong(), m.captured(2).toLongLong()};
}

// The text of object `ref` between "obj" and "endobj", read at its cross-reference offset.
std::optional<QByteArray> objectAt(Source& source, const std::map<long long, qint64>& offsets,
                                   const Reference& ref)
{
    const auto found = offsets.find(ref.number);
    if (found == offsets.end()) return std::nullopt;
    const QByteArray text = source.read(found->second, kMaxObjectBytes);
    const QByteArray head =
        QByteArray::number(ref.number) + ' ' + QByteArray::number(ref.generation) + " obj";
    if (!text.startsWith(head)) return std::nullopt;
    const qsizetype end = text.indexOf("endobj", head.size());
    if (end < 0) return std::nullopt;
    return text.mid(head.size(), end - head.size()).trimmed();
}

// The cross-reference table at `at` (numbers to offsets of objects in use), and the trailer after it.
QString readXref(Source& source, qint64 at, std::map<long long, qint64>& offsets, QByteArray& trailer)
{
    if (!source.file.seek(at)) return QStringLiteral("the cross-reference offset is outside the file");
    const auto line = [&] { return source.file.readLine(256).trimmed(); };
    if (line() != "xref")
        return QStringLiteral("the file keeps its cross-references in a stream, not a table");
    qint64 entries = 0;
    for (;;) {
        const QByteArray header = line();
        if (header.startsWith("trailer")) break;
        const QList<QByteArray> parts = header.split(' ');
        bool okStart = false, okCount = false;
        const long long first = parts.size() == 2 ? parts[0].toLongLong(&okStart) : 0;
        const long long count = parts.size() == 2 ? parts[1].toLongLong(&okCount) : 0;
        if (!okStart || !okCount || first < 0 || count < 0)
            return QStringLiteral("the cross-reference table is damaged");
        entries += count;
        if (entries > kMaxXrefEntries || count * 20 > source.size)
            return QStringLiteral("the cross-reference table is larger than the file");
        for (long long i = 0; i < count; ++i) {
            const QByteArray entry = source.file.read(20);
            if (entry.size() != 20) return QStringLiteral("the cross-reference table is cut short");
            bool ok = false;
            const qint64 offset = entry.left(10).toLongLong(&ok);
            if (!ok) return QStringLiteral("the cross-reference table is damaged");
            if (entry[17] == 'n') offsets[first + i] = offset;
        }
    }
    trailer = source.file.read(kTailBytes);
    const qsizetype end = trailer.indexOf("startxref");
    if (end >= 0) trailer.truncate(end);
    return QString();
}

std::vector<Reference> pageReferences(const QByteArray& pages)
{
    std::vector<Reference> list;
    const qsizetype open = pages.indexOf("/Kids");
    const qsizetype start = open < 0 ? -1 : pages.indexOf('[', open);
    const qsizetype end = start < 0 ? -1 : pages.indexOf(']', start);
    if (end < 0) return list;
    static const QRegularExpression pattern(QStringLiteral("(\\d{1,10})\\s+(\\d{1,5})\\s+R"));
    const QString kids = QString::fromLatin1(pages.mid(start + 1, end - start - 1));
    for (auto it = pattern.globalMatch(kids); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        list.push_back({m.captured(1).toLongLong(), m.captured(2).toLongLong()});
    }
    return list;
}

QByteArray ref(long long number, long long generation = 0)
{
    return QByteArray::number(number) + ' ' + QByteArray::number(generation) + " R";
}

QByteArray number(double value) { return QByteArray::number(value, 'f', 2); }

// Writes the objects of the outline; numbers are handed out in the order the objects are written.
class Writer {
public:
    Writer(long long firstNumber, qint64 startOffset, const std::vector<Reference>& pages)
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
            const Reference& page = pages_[std::size_t(item.page)];
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
    const std::vector<Reference>& pages_;
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

QString PdfOutline::add(const QString& path, const std::vector<PdfOutlineItem>& items)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return QStringLiteral("cannot open the file: ") + file.errorString();
    Source source{file, file.size()};

    const QByteArray tail = source.read(std::max<qint64>(0, source.size - kTailBytes), kTailBytes);
    const qsizetype mark = tail.lastIndexOf("startxref");
    bool ok = false;
    const qint64 xrefAt =
        mark < 0 ? 0 : tail.mid(mark + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok) return QStringLiteral("no cross-reference offset at the end of the file");

    std::map<long long, qint64> offsets;
    QByteArray trailer;
    if (const QString error = readXref(source, xrefAt, offsets, trailer); !error.isEmpty()) return error;
    if (trailer.contains("/Prev") || trailer.contains("/Encrypt"))
        return QStringLiteral("the file has been updated or is encrypted");
    const auto root = referenceAfter(trailer, "/Root");
    static const QRegularExpression sizePattern(QStringLiteral("/Size\\s+(\\d{1,10})"));
    const QRegularExpressionMatch sizeMatch = sizePattern.match(QString::fromLatin1(trailer));
    if (!root || !sizeMatch.hasMatch()) return QStringLiteral("the trailer names no catalogue or size");
    const long long size = sizeMatch.captured(1).toLongLong();

    const auto catalogue = objectAt(source, offsets, *root);
    if (!catalogue || !catalogue->startsWith("<<") || !catalogue->endsWith(">>"))
        return QStringLiteral("the catalogue cannot be read");
    if (catalogue->contains("/Outlines")) return QStringLiteral("the file has an outline already");
    const auto pagesRef = referenceAfter(*catalogue, "/Pages");
    const auto pageTree = pagesRef ? objectAt(source, offsets, *pagesRef) : std::nullopt;
    if (!pageTree) return QStringLiteral("the page tree cannot be read");
    const std::vector<Reference> pages = pageReferences(*pageTree);
    static const QRegularExpression countPattern(QStringLiteral("/Count\\s+(\\d{1,10})"));
    const QRegularExpressionMatch count = countPattern.match(QString::fromLatin1(*pageTree));
    if (!count.hasMatch() || count.captured(1).toLongLong() != (long long)pages.size())
        return QStringLiteral("the page tree is not a flat list of pages");
    if (!pagesValid(items, pages.size()))
        return QStringLiteral("an outline entry names a page the file lacks");

    // The update starts on a line of its own after whatever the file ends with.
    Writer writer(size, source.size + 1, pages);
    const long long outlines = writer.reserve();
    long long first = 0, last = 0;
    const int shown = writer.writeLevel(items, outlines, first, last);
    QByteArray dict = "<< /Type /Outlines";
    if (first != 0) dict += " /First " + ref(first) + " /Last " + ref(last);
    dict += " /Count " + QByteArray::number(shown) + " >>";
    writer.writeObject(outlines, dict);
    QByteArray newCatalogue = catalogue->left(catalogue->size() - 2).trimmed();
    newCatalogue += "\n/Outlines " + ref(outlines) + "\n/PageMode /UseOutlines\n>>";
    writer.writeObject(root->number, newCatalogue, root->generation);

    // One subsection for the replaced catalogue, one for the new objects, which are numbered in a run.
    const qint64 xref = writer.offset();
    QByteArray table = "xref\n";
    const auto entry = [](qint64 offset, long long generation) {
        return QByteArray::number(offset).rightJustified(10, '0') + ' ' +
               QByteArray::number(generation).rightJustified(5, '0') + " n \n";
    };
    table += QByteArray::number(root->number) + " 1\n" +
             entry(writer.written().at(root->number), root->generation);
    table += QByteArray::number(size) + ' ' + QByteArray::number(writer.next() - size) + '\n';
    for (long long n = size; n < writer.next(); ++n) table += entry(writer.written().at(n), 0);
    table += "trailer\n<< /Size " + QByteArray::number(writer.next()) + " /Root " +
             ref(root->number, root->generation);
    if (const auto info = referenceAfter(trailer, "/Info"))
        table += " /Info " + ref(info->number, info->generation);
    table +=
        " /Prev " + QByteArray::number(xrefAt) + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";

    const QByteArray update = '\n' + writer.out() + table;
    if (!file.seek(source.size) || file.write(update) != update.size() || !file.flush()) {
        file.resize(source.size); // the original ends where it ended
        return QStringLiteral("cannot write the outline: ") + file.errorString();
    }
    return QString();
}

} // namespace quillon
