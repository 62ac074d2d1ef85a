#pragma once
// What installing some font files would do, and doing it: the files, folders (through their subfolders)
// and archives given are gathered; every face of every file is read first (a file that is no font, or not
// whole, is refused with the reason and never copied) and compared with the installed fonts. Nothing is
// ever overwritten: the very same bytes installed already are "already installed", a face installed from
// another file is named with that file and installed beside it only when the caller says so, and a file
// whose name is taken in the font folder gets a free one. Copies are whole or not made at all.
//
// Plain logic over the platform's FontInstall, for the install list, the face information's Install button
// and quillon-inspect alike.

#include "platform/FontInstall.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace quillon::platform {
class ScratchFolder;
}

namespace quillon::install {

enum class FaceState {
    New,       // not installed: Install copies its file
    Installed, // its file's very bytes are installed already
    SameFace,  // a face of this family and style is installed from another file (or is earlier in the list)
    NotFont,   // the file is no font to install; detail says why
};

/// One file found, with what became of it.
struct FoundFile {
    QString shown;     // as the list names it: the path, or "Archive.zip: folder/Face.otf"
    QString source;    // the file read and copied (an archive's entry: its unpacked copy)
    QString name;      // the name it is installed under (its own)
    QString problem;   // why it is no font to install; empty when it is one
    QString identical; // the installed file with the same bytes; empty when none
    std::vector<platform::ExaminedFace> faces;
    QString installedAs; // after install(): where it was copied
    QString failure;     // after install(): why the copy failed
};

/// One row of the list: a face of a file (or a file that is no font).
struct FoundFace {
    int file = 0; // in files()
    int face = 0; // in that file's faces; 0 for a file that is no font
    FaceState state = FaceState::New;
    QString detail; // NotFont: why; Installed: the installed file; SameFace: where that face is installed
};

class InstallPlan {
public:
    /// fonts must outlive the plan.
    explicit InstallPlan(platform::FontInstall& fonts);
    ~InstallPlan();
    InstallPlan(const InstallPlan&) = delete;
    InstallPlan& operator=(const InstallPlan&) = delete;

    /// Gathers the font files at `paths`: a file as it is (an archive by its name: .zip, .tar.gz, ...), a
    /// folder's font files through its subfolders (hidden ones left out). A path that gives nothing to
    /// list is named in notes().
    void add(const QStringList& paths);

    const std::vector<FoundFile>& files() const { return files_; }
    const std::vector<FoundFace>& faces() const { return faces_; }
    /// Lines about what was not listed: an archive refused (and why), files left out, paths not found.
    const QStringList& notes() const { return notes_; }
    int count(FaceState state) const;
    /// Whether the file would be copied: it is a font, not installed already, and (unless `besideSameFace`)
    /// none of its faces is installed from another file.
    bool installable(int file, bool besideSameFace) const;
    /// "3 new faces, 1 already installed, 1 not a font".
    QString summary() const;

    /// Copies every file `wanted` says yes to among the installable ones (by default: those installable
    /// without besideSameFace), then tells the font system once. The files copied, in order.
    QStringList install(const std::function<bool(int file)>& wanted = {});

    /// The state in the list's words: "new", "already installed", "same face from another file",
    /// "not a font".
    static QString stateWords(FaceState state);

private:
    void addFile(const QString& path, const QString& shown);
    void addFolder(const QString& path);
    void addArchive(const QString& path);
    void classify(int file);

    platform::FontInstall& fonts_;
    std::vector<FoundFile> files_;
    std::vector<FoundFace> faces_;
    QStringList notes_;
    std::vector<std::unique_ptr<platform::ScratchFolder>> unpacked_;
};

} // namespace quillon::install
