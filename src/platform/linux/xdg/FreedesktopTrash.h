#pragma once
// The desktop's trash laid out as freedesktop.org's trash rules have it, so that a file the program
// removes shows in the file manager's trash and can be restored from there: the home trash
// ($XDG_DATA_HOME/Trash) for files on the home trash's disk, else the trash at the top of the file's own
// disk ($topdir/.Trash/$uid when an administrator made .Trash, else $topdir/.Trash-$uid). A file is moved,
// never copied: a trash on another disk is not used.
//
// The info file is made first and exclusively (it reserves the name), then the file is renamed into
// files/; a rename that fails takes the info file back, so the trash never lists a file it does not hold.

#include <QString>

#include <sys/types.h>

namespace quillon::platform {

class FreedesktopTrash {
public:
    /// dataHome: $XDG_DATA_HOME, which holds the home trash.
    explicit FreedesktopTrash(QString dataHome);

    /// Moves the file (or link) at `path` into the trash. False with the reason in `problem` when it could
    /// not be; the file then stays where it was. `trashedAs`, when given, receives where it went.
    bool trash(const QString& path, QString* problem, QString* trashedAs = nullptr);

    /// The Path= value the info file holds: the path's bytes with every byte a URI path may not hold as
    /// %XX, "/" kept.
    static QByteArray escapedPath(const QByteArray& path);

private:
    /// The trash folder for a file on device `device`; empty with `problem` set when there is none.
    QString trashFor(const QString& folder, dev_t device, QString* topdir, QString* problem);

    QString dataHome_;
};

} // namespace quillon::platform
