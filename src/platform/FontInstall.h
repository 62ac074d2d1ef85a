#pragma once
// What installing and removing a font file reaches of the system: the user's own font folder, what a file
// holds (each face read with the bounded reader and opened by the font engine) and which installed files
// already hold its faces, a copy into the font folder that never replaces a file, the desktop's trash, the
// font files of an archive, and telling the font system that a folder's files came or went.
//
// src/platform/linux realises it with fontconfig, FreeType, libarchive and the freedesktop trash. Paths are
// text as NativeText.h makes it.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace quillon::platform {

/// One face of a file, named as the font system lists it.
struct ExaminedFace {
    QString family;       // first family name
    QString style;        // first style name
    QString fullName;     // may be empty (bitmap fonts)
    QString format;       // in words: "TrueType", "OpenType CFF", "Type 1", "Bitmap (PCF)", ...
    QStringList sameFace; // installed files (absolute) with a face of this family and style
};

struct ExaminedFile {
    QString problem;                 // why this is no font file to install; empty when it is one
    std::vector<ExaminedFace> faces; // in file order; empty when there is a problem
    QString identical;               // an installed file with the very same bytes; empty when none
    std::int64_t bytes = 0;
};

/// The bounds an archive is read within: more entries, or more bytes unpacked, and it is refused whole.
struct ArchiveLimits {
    int entries = 2000;
    std::int64_t bytes = std::int64_t{512} << 20;
};

struct UnpackedFont {
    QString entry; // its name in the archive ("Family/Family-Bold.otf")
    QString path;  // where its bytes were written
};

struct Unpacked {
    QString problem; // why the archive was refused whole (nothing of it is kept then); empty when read
    std::vector<UnpackedFont> fonts;
    int skipped = 0; // entries left out: hidden ones, __MACOSX/, folders and files of no font kind
};

/// Whether a file name (of a file in a folder or an archive entry) is of a font kind the program installs:
/// .ttf, .otf, .ttc, .otc, .pfb, .pfa, .t1, .pcf, .pcf.gz, .bdf, .fon; any case.
bool isFontFileName(const QString& name);
/// Whether a file name is of an archive kind the program reads: .zip, .7z, .tar and its compressed kinds.
bool isArchiveFileName(const QString& name);

class FontInstall {
public:
    virtual ~FontInstall() = default;

    /// Where installed files go: the user's font folder fontconfig reads ($XDG_DATA_HOME/fonts), which may
    /// not exist yet.
    virtual QString userFontFolder() = 0;
    /// Whether `path` is a file in one of the user's own font folders (the ones under their home or data
    /// folder), which the program may remove; the system's folders never are.
    virtual bool inUserFolders(const QString& path) = 0;
    /// Reads every face of the file at `path`: the file is refused (problem set) when it is no font, or not
    /// whole, or holds a face the font engine cannot open. Installed files are searched for its faces.
    virtual ExaminedFile examine(const QString& path) = 0;
    /// Copies `source` into the user's font folder (made when missing) as `name`, or as the first free name
    /// after it ("Name-2.otf", ...): an existing file is never replaced, and a copy that fails leaves no
    /// file. The path written; empty on failure, with the reason in `problem`.
    virtual QString copyIn(const QString& source, const QString& name, QString* problem) = 0;
    /// Moves a file of the user's font folders to the desktop's trash, where it can be restored. Any other
    /// file is refused and left as it is. False on failure, with the reason in `problem`.
    virtual bool moveToTrash(const QString& path, QString* problem) = 0;
    /// Writes the font files of the archive at `archive` into `folder` (which must exist): hidden entries
    /// and __MACOSX/ are skipped; a name outside the archive ("../", absolute), a link, or more than the
    /// limits allow refuse the archive whole.
    virtual Unpacked unpack(const QString& archive, const QString& folder, const ArchiveLimits& limits) = 0;
    /// The files of `folder` came or went: the program's font system takes them in now, and fontconfig's
    /// cache of the folder is brought up to date for other programs.
    virtual void announce(const QString& folder) = 0;
};

} // namespace quillon::platform
