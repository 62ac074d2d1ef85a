#include "pdf/PdfFile.h"

#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>

namespace quillon {

namespace {

constexpr qint64 kXrefEntryBytes = 20;

} // namespace

PdfFile::PdfFile(QIODevice& file) : file_(file), size_(file.size()) {}

QByteArray PdfFile::read(qint64 at, qint64 length)
{
    if (at < 0 || at >= size_ || length <= 0) return QByteArray();
    if (!file_.seek(at)) return QByteArray();
    return file_.read(std::min(length, size_ - at));
}

std::optional<PdfRef> PdfFile::referenceAfter(const QByteArray& dictionary, const char* key)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,10})\\s+(\\d{1,5})\\s+R"));
    const qsizetype at = dictionary.indexOf(key);
    if (at < 0) return std::nullopt;
    const QString rest = QString::fromLatin1(dictionary.mid(at + qstrlen(key), 40));
    const QRegularExpressionMatch m = pattern.match(rest);
    if (!m.hasMatch()) return std::nullopt;
    return PdfRef{m.captured(1).toLongLong(), m.captured(2).toLongLong()};
}

QByteArray PdfFile::reference(long long number, long long generation)
{
    return QByteArray::number(number) + ' ' + QByteArray::number(generation) + " R";
}

bool PdfFile::readStructure()
{
    const QByteArray tail = read(std::max<qint64>(0, size_ - kTailBytes), kTailBytes);
    const qsizetype mark = tail.lastIndexOf("startxref");
    bool ok = false;
    xrefAt_ = mark < 0 ? 0 : tail.mid(mark + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok) return fail(QStringLiteral("no cross-reference offset at the end of the file"));
    if (!readXref()) return false;
    if (trailer_.contains("/Prev") || trailer_.contains("/Encrypt"))
        return fail(QStringLiteral("the file has been updated or is encrypted"));
    const auto root = referenceAfter(trailer_, "/Root");
    static const QRegularExpression sizePattern(QStringLiteral("/Size\\s+(\\d{1,10})"));
    const QRegularExpressionMatch sizeMatch = sizePattern.match(QString::fromLatin1(trailer_));
    if (!root || !sizeMatch.hasMatch()) return fail(QStringLiteral("the trailer names no catalogue or size"));
    root_ = *root;
    info_ = referenceAfter(trailer_, "/Info");
    objectCount_ = sizeMatch.captured(1).toLongLong();
    if (!objects_.empty() && objects_.rbegin()->first >= objectCount_)
        return fail(QStringLiteral("the cross-reference table lists more objects than the trailer"));
    return true;
}

bool PdfFile::readXref()
{
    if (xrefAt_ <= 0 || xrefAt_ >= size_ || !file_.seek(xrefAt_))
        return fail(QStringLiteral("the cross-reference offset is outside the file"));
    const auto line = [&] { return file_.readLine(256).trimmed(); };
    if (line() != "xref")
        return fail(QStringLiteral("the file keeps its cross-references in a stream, not a table"));
    qint64 entries = 0;
    for (;;) {
        const QByteArray header = line();
        if (header.startsWith("trailer")) break;
        const QList<QByteArray> parts = header.split(' ');
        bool okStart = false, okCount = false;
        const long long first = parts.size() == 2 ? parts[0].toLongLong(&okStart) : 0;
        const long long count = parts.size() == 2 ? parts[1].toLongLong(&okCount) : 0;
        if (!okStart || !okCount || first < 0 || count < 0 || first > (1LL << 40))
            return fail(QStringLiteral("the cross-reference table is damaged"));
        entries += count;
        if (entries * kXrefEntryBytes > size_)
            return fail(QStringLiteral("the cross-reference table is larger than the file"));
        for (long long i = 0; i < count; ++i) {
            const QByteArray entry = file_.read(kXrefEntryBytes);
            if (entry.size() != kXrefEntryBytes)
                return fail(QStringLiteral("the cross-reference table is cut short"));
            bool okOffset = false, okGeneration = false;
            const qint64 offset = entry.left(10).toLongLong(&okOffset);
            const long long generation = entry.mid(11, 5).toLongLong(&okGeneration);
            if (!okOffset || !okGeneration || (entry[17] != 'n' && entry[17] != 'f'))
                return fail(QStringLiteral("the cross-reference table is damaged"));
            if (entry[17] != 'n') continue;
            if (offset <= 0 || offset >= xrefAt_)
                return fail(QStringLiteral("an object lies outside the body of the file"));
            objects_[first + i] = {offset, generation};
        }
    }
    trailer_ = file_.read(kTailBytes);
    const qsizetype end = trailer_.indexOf("startxref");
    if (end >= 0) trailer_.truncate(end);

    starts_.clear();
    for (const auto& [number, entry] : objects_) starts_.push_back(entry.offset);
    starts_.push_back(xrefAt_);
    std::sort(starts_.begin(), starts_.end());
    return true;
}

std::optional<QByteArray> PdfFile::objectText(const PdfRef& ref)
{
    const auto found = objects_.find(ref.number);
    if (found == objects_.end() || found->second.generation != ref.generation) return std::nullopt;
    const qint64 at = found->second.offset;
    const qint64 end = *std::upper_bound(starts_.begin(), starts_.end(), at); // the table is always after
    if (end - at > kMaxObjectBytes) return std::nullopt;
    QByteArray text = read(at, end - at);
    const QByteArray head =
        QByteArray::number(ref.number) + ' ' + QByteArray::number(ref.generation) + " obj";
    if (text.size() != end - at || !text.startsWith(head)) return std::nullopt;
    return text;
}

std::optional<QByteArray> PdfFile::object(const PdfRef& ref)
{
    const auto text = objectText(ref);
    if (!text) return std::nullopt;
    const qsizetype start = text->indexOf(" obj") + 4;
    const qsizetype end = text->lastIndexOf("endobj");
    if (end < start) return std::nullopt;
    return text->mid(start, end - start).trimmed();
}

std::optional<PdfFile::PageTree> PdfFile::pageTree(const QByteArray& catalogue)
{
    const auto ref = referenceAfter(catalogue, "/Pages");
    const auto tree = ref ? object(*ref) : std::nullopt;
    if (!tree) {
        fail(QStringLiteral("the page tree cannot be read"));
        return std::nullopt;
    }
    PageTree result{*ref, *tree, {}};
    const qsizetype open = tree->indexOf("/Kids");
    const qsizetype start = open < 0 ? -1 : tree->indexOf('[', open);
    const qsizetype end = start < 0 ? -1 : tree->indexOf(']', start);
    static const QRegularExpression pattern(QStringLiteral("(\\d{1,10})\\s+(\\d{1,5})\\s+R"));
    if (end >= 0) {
        const QString kids = QString::fromLatin1(tree->mid(start + 1, end - start - 1));
        for (auto it = pattern.globalMatch(kids); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            result.pages.push_back({m.captured(1).toLongLong(), m.captured(2).toLongLong()});
        }
    }
    static const QRegularExpression countPattern(QStringLiteral("/Count\\s+(\\d{1,10})"));
    const QRegularExpressionMatch count = countPattern.match(QString::fromLatin1(*tree));
    if (!count.hasMatch() || count.captured(1).toLongLong() != (long long)result.pages.size()) {
        fail(QStringLiteral("the page tree is not a flat list of pages"));
        return std::nullopt;
    }
    return result;
}

} // namespace quillon
