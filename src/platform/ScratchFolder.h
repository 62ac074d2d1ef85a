#pragma once
// A private folder for the parts of a long write (the font book), beside its target so the parts land on
// the same disk, hidden, and removed with everything in it when the write ends, whether it succeeded,
// failed or was cancelled. A run that is killed cannot remove its folder, so each run first removes the
// folders that earlier runs left: only those this class made (the name it gives, this user's, holding
// only files) and whose run is over (the process that made it is gone, or it is older than
// kAbandonedAfterHours), never another copy's folder in use.

#include <QString>

namespace quillon::platform {

class ScratchFolder {
public:
    static constexpr int kAbandonedAfterHours = 24;

    /// Makes `<parent>/<prefix>-XXXXXX` (six random letters and digits), readable by the user only.
    ScratchFolder(const QString& parent, const QString& prefix);
    /// Removes the folder and the files in it.
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    /// Why the folder could not be made, for the user; empty when it was.
    QString problem() const { return problem_; }
    QString path() const { return path_; }
    QString filePath(const QString& name) const;

    /// Removes the folders of prefix in parent that ended runs left behind; the number removed.
    static int removeAbandoned(const QString& parent, const QString& prefix);

private:
    QString path_;
    QString problem_;
};

} // namespace quillon::platform
