#pragma once
// Builds the catalogue from the system's font lists in the registry: the face list (sorted, cleaned
// names, without repeats), one record per distinct font file, and fontNames. Runs once, while the main
// window loads, with the window's loading guard set.

#include "catalogue/FaceList.h"
#include "catalogue/FontCatalogue.h"
#include "platform/Registry.h"
#include "registry/RegistryModule.h"

#include <QSet>
#include <QString>

#include <string>

namespace quillon {

namespace platform {
class SystemInfo;
}

inline const QString kNtFontsKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
inline const QString kWindowsFontsKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
inline const QString kDisplayFontsKey = QStringLiteral("Display\\Fonts");

/// The enumeration's name buffer, in bytes; a name that does not fit ends the enumeration.
inline constexpr int kFontNameBuffer = 2000;

class FontListLoader {
public:
    /// All three must outlive the loader.
    FontListLoader(platform::Registry& registry, platform::SystemInfo& system, FontCatalogue& catalogue);

    /// Fills fontList from the fonts key (and, off the NT family, the display fonts key), makes the records
    /// and fontNames afresh, removes repeated names from fontList and leaves its last entry selected.
    void LoadFontList(FaceList& fontList);

    /// Records the file the fonts key names for entryName, unless a record for that file exists already.
    /// face is the cleaned face, lower-cased. A look-up that fails or gives no file name makes no record.
    void AddFontRecord(const QString& entryName, const QString& face, bool bold, bool italic,
                       const QString& sizes);
    /// The same, looking the file up in HKEY_CURRENT_CONFIG "Display\Fonts".
    void AddDisplayFontRecord(const QString& entryName, const QString& face, bool bold, bool italic,
                              const QString& sizes);

    /// Whether the system is of the Windows NT family (it is, on Linux).
    bool IsWindowsNT();

private:
    enum class Pass { Fonts, DisplayFonts };

    void enumerateFonts(platform::HKEY root, const QString& path, Pass pass, FaceList& fontList);
    void addRecord(platform::HKEY root, const QString& path, const QString& entryName, const QString& face,
                   bool bold, bool italic, const QString& sizes);

    platform::Registry& registry_;
    platform::SystemInfo& system_;
    FontCatalogue& catalogue_;
    platform::Registry* reader_;  // registry_, or a read cache over it while LoadFontList runs
    QSet<QString> recordedFiles_; // the files of catalogue_.records, for the one-record-per-file test
    std::size_t indexedRecords_ = 0;
};

} // namespace quillon
