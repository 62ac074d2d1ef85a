#pragma once
// Installing and removing font files on Linux: the user's font folder of the freedesktop base folders
// ($XDG_DATA_HOME/fonts, which fontconfig reads by default), files examined with the bounded sfnt reader,
// FreeType and fontconfig's own description of a face, copies through the one replacing writer that never
// replace a file, the freedesktop trash, archives through libarchive, and fontconfig's cache brought up to
// date by `fc-cache FOLDER` in the background (as the desktops' font installers do) while this program's
// own fontconfig reads the folder at once.

#include "platform/FontInstall.h"

typedef struct FT_LibraryRec_* FT_Library;

namespace quillon::platform {

class FontChanges;

class LinuxFontInstall final : public FontInstall {
public:
    /// changes must outlive this object; it hears of every announce().
    explicit LinuxFontInstall(FontChanges& changes);
    ~LinuxFontInstall() override;
    LinuxFontInstall(const LinuxFontInstall&) = delete;
    LinuxFontInstall& operator=(const LinuxFontInstall&) = delete;

    QString userFontFolder() override;
    bool inUserFolders(const QString& path) override;
    ExaminedFile examine(const QString& path) override;
    QString copyIn(const QString& source, const QString& name, QString* problem) override;
    bool moveToTrash(const QString& path, QString* problem) override;
    Unpacked unpack(const QString& archive, const QString& folder, const ArchiveLimits& limits) override;
    void announce(const QString& folder) override;

    /// The name tried for the n-th copy of a file named `name` (n from 1): "Name.otf", "Name-2.otf", ...
    static QString numberedName(const QString& name, int n);
    /// A file name the font folder can hold: its last part, without control characters or a leading dot.
    static QString cleanName(const QString& name);

private:
    /// The user's own font folders: the install folder and those of fontconfig's configuration under the
    /// user's home or data folder.
    QStringList userFolders();
    FT_Library freetype();

    FontChanges& changes_;
    FT_Library library_ = nullptr;
};

} // namespace quillon::platform
