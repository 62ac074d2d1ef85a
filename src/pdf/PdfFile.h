#pragma once
// Bounded reading of a PDF file of the kind Qt's PDF writer makes, for the outline and the joiner that work
// on the program's own books: a classic cross-reference table at the end (one section, no earlier updates, no
// encryption), every object written as "N G obj" ... "endobj" one after the other, a catalogue naming a flat
// page tree. Anything else is refused with a reason, never guessed at.
//
// Each read is bounded: the tail holding "startxref", the table (at most as many entries as the file can
// hold), and one object at a time, which ends where the next object or the table begins and may not be longer
// than kMaxObjectBytes.

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class QIODevice;

namespace quillon {

struct PdfRef {
    long long number = 0;
    long long generation = 0;
    bool operator==(const PdfRef&) const = default;
};

class PdfFile {
public:
    static constexpr qint64 kTailBytes = 4096;
    static constexpr qint64 kMaxObjectBytes = 16 * 1024 * 1024;

    /// file: open for reading and seekable; not owned, must outlive this object.
    explicit PdfFile(QIODevice& file);

    /// Reads the trailer and the cross-reference table. False when the file is not of the kind described
    /// above (problem() says why); nothing else may be called after a failure.
    bool readStructure();
    /// Why the last failed step failed, in words for the book's closing page and the log.
    const QString& problem() const { return problem_; }

    qint64 size() const { return size_; }
    /// Where the cross-reference table starts, bytes from the file's start.
    qint64 xrefOffset() const { return xrefAt_; }
    /// The trailer dictionary's text.
    const QByteArray& trailer() const { return trailer_; }
    /// The trailer's /Size: one more than the highest object number.
    long long objectCount() const { return objectCount_; }
    PdfRef root() const { return root_; }
    std::optional<PdfRef> info() const { return info_; }

    struct Entry {
        qint64 offset = 0;
        long long generation = 0;
    };
    /// The objects in use, by number.
    const std::map<long long, Entry>& objects() const { return objects_; }

    /// The bytes of an object in use from its "N G obj" line up to where the next object or the table
    /// begins; nullopt when the table lacks it, its line is not there or it is longer than kMaxObjectBytes.
    std::optional<QByteArray> objectText(const PdfRef& ref);
    /// The object's body between "obj" and the last "endobj", trimmed; for objects without a stream.
    std::optional<QByteArray> object(const PdfRef& ref);

    /// The page tree the catalogue names and its pages, in order, when it is one node listing pages (what
    /// Qt writes); else nullopt, and problem() says why.
    struct PageTree {
        PdfRef ref;
        QByteArray dictionary;
        std::vector<PdfRef> pages;
    };
    std::optional<PageTree> pageTree(const QByteArray& catalogue);

    /// The reference that follows `key` in a dictionary's text ("/Pages 3 0 R").
    static std::optional<PdfRef> referenceAfter(const QByteArray& dictionary, const char* key);
    /// "N G R" as written in a file.
    static QByteArray reference(long long number, long long generation = 0);

private:
    QByteArray read(qint64 at, qint64 length);
    bool readXref();
    bool fail(const QString& why)
    {
        problem_ = why;
        return false;
    }

    QIODevice& file_;
    qint64 size_ = 0;
    qint64 xrefAt_ = 0;
    QByteArray trailer_;
    long long objectCount_ = 0;
    PdfRef root_;
    std::optional<PdfRef> info_;
    std::map<long long, Entry> objects_;
    QString problem_;
    std::vector<qint64> starts_; // every object's offset and the table's, sorted: where each object ends
};

} // namespace quillon
