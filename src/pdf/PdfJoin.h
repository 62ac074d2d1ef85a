#pragma once
// Joins PDF files written by Qt's PDF writer into one document whose page tree lists every page of every file
// in order. A book of thousands of faces is written in parts because Qt's writer keeps every font it has
// drawn with loaded until its document ends; each part lets go of its fonts, and the joiner puts the parts
// together.
//
// Each part is read through PdfFile (classic cross-reference table, one flat page tree, a catalogue with
// nothing but its page tree). Its objects are copied one at a time with new numbers, references rewritten
// outside strings and streams, streams copied byte for byte after their /Length (given or in an object of its
// own); its pages get the joined page tree as their parent. The first part's document information (title,
// creator) is kept, and the trailer gets a file identifier (/ID) of its own. The result has a classic
// cross-reference table and a flat page tree, so PdfOutline can add to it. A part of any other kind is
// refused with a reason, never guessed at.

#include <QString>
#include <QStringList>

class QIODevice;

namespace quillon {

class PdfJoin {
public:
    /// out: open for writing, from its start; not owned, must outlive this object.
    explicit PdfJoin(QIODevice& out);
    /// Writes the pages of the files at `parts`, in order, as one PDF to the output. False when not done:
    /// problem() says why (and the log, under quillon.printing); what was written by then is not a whole
    /// file and is the caller's to throw away.
    bool join(const QStringList& parts);
    /// Why the join failed, naming the part ("part 2 of 5: ..."), in words for the book's closing page.
    const QString& problem() const { return problem_; }

private:
    QIODevice& out_;
    QString problem_;
};

} // namespace quillon
