#pragma once
// The one way the program replaces a file: settings, the desktop's association files, PDFs. The new
// contents go into a temporary file in the target's own folder; every write, the flush and the sync are
// checked, and only a file known to be whole is renamed over the target. Any failure removes the temporary
// file and leaves the earlier file byte for byte as it was, with a reason the user can act on ("the disk
// is full"). A file system that drops buffered data when it fills up would otherwise leave an empty file
// where the user's settings were.
//
// A target that is a symbolic link is written through it (the link's file is replaced, the link stays),
// and a replaced file keeps its permissions. Paths are text as NativeText.h makes it.

#include <QByteArray>
#include <QString>

namespace quillon::platform {

class ReplacingFile {
public:
    explicit ReplacingFile(QString target);
    /// Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    /// Makes the temporary file beside the target (and the target's folder when missing).
    bool open();
    /// Appends bytes; false (and every later call false) once any write failed.
    bool write(const QByteArray& bytes);
    /// Appends the whole of another file, read in blocks: a large file is never held in memory.
    bool copyFrom(const QString& path);
    /// Syncs the temporary file and renames it over the target. Also for a temporary file that someone
    /// else filled through temporaryPath(): it is synced as it stands.
    bool commit();
    /// As commit(), but never over an existing file (a font installed beside another of the same name):
    /// when a file of the target's name exists, false with targetTaken() true and the temporary file kept,
    /// so that retarget() and another commitNew() can try another name.
    bool commitNew();
    /// Whether the last commitNew() found the target's name taken.
    bool targetTaken() const { return taken_; }
    /// Another target for the contents written so far, in the same folder (the temporary file's), taken as
    /// it is: no link is followed.
    void retarget(const QString& path) { target_ = path; }
    /// Removes the temporary file; the target stays as it was.
    void cancel();

    /// Where the new contents are written until commit(); empty before open().
    QString temporaryPath() const { return temporary_; }
    /// The target as written: a link's file for a link.
    QString target() const { return target_; }
    /// Why the last step failed, for the user ("the disk is full", "no permission to write in …");
    /// empty while nothing failed.
    QString problem() const { return problem_; }

    /// Writes the whole of bytes into path as above. problem, when given, receives the reason of a failure.
    static bool replace(const QString& path, const QByteArray& bytes, QString* problem = nullptr);

    /// A reason in the user's words for a system error number (ENOSPC → "the disk is full").
    static QString reasonFor(int error, const QString& folder);
    /// Whether the disk holding path (a file or folder) has next to no room left for this user: for
    /// writers that do not report their failed writes (Qt's PDF writer), to name a short file's cause.
    static bool diskIsFull(const QString& path);

private:
    bool fail(int error);
    /// Syncs and closes the temporary file once.
    bool finishWriting();
    /// Makes the renamed file's name last: the folder is synced.
    void committedTo(const QString& target);

    QString target_;
    QString temporary_;
    QString problem_;
    int fd_ = -1;
    bool committed_ = false;
    bool written_ = false; // synced and closed, waiting for its name
    bool taken_ = false;
};

} // namespace quillon::platform
