#pragma once
// The TrueType file reader: looks at one font file on disk through its own tables (names, four style bits,
// validity) and finds the face name under which the font system selects the font. When the system does not
// know the font yet, the object adds the file to the font table for as long as it holds the file.
//
// Only the offset table, the table directory, 54 bytes of "head", the "name" table's header, records and
// texts, and 86 bytes of "OS/2" are used, each taken at its position in its size (src/sfnt reads them);
// they come from the first page of the file and the "name" table, each read in one call, and the file is
// never read whole. Each table is read once, however often the directory lists it, and the texts share one
// budget, so the work is bounded by the file. The file is open only while it loads. What lies past the end
// of the file reads as zero bytes, a name text that does not lie wholly inside the file is empty. A
// collection ('ttcf') is read through its first font.
//
// Used on the one user-interface thread. The font system passed in must outlive the object.

#include "platform/FontSystem.h"
#include "sfnt/NameTable.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillon::sfnt {
class FileSource;
}

namespace quillon {

using sfnt::NameRecord;

class CFontPreview {
public:
    /// Takes the system locale from `fonts` once, now.
    explicit CFontPreview(platform::FontSystem& fonts);
    /// Takes out of the font table whatever this object added.
    ~CFontPreview();
    CFontPreview(const CFontPreview&) = delete;
    CFontPreview& operator=(const CFontPreview&) = delete;

    /// When set, every addition to and removal from the font table is followed by a font-change notice.
    bool Broadcast() const { return broadcast_; }
    void setBroadcast(bool on) { broadcast_ = on; }

    /// Gives back what the previous file added, then loads `path` when it names an existing file that is not
    /// a folder; otherwise the object keeps its path and what it read.
    void setFontFile(const QString& path);
    const QString& FontFile() const { return fontFile_; }

    bool Bold() const { return BitIsSet(fsSelection_, 5); }
    QString Copyright() const { return LookupName(0); }
    /// Face name under which the font system selects the font; empty when no candidate matched.
    const QString& FaceName() const { return faceName_; }
    QString FamilyName() const { return LookupName(1); }
    QString FullName() const { return LookupName(4); }
    /// True when the system selected the font under one of its names before the object added anything.
    bool Installed() const { return installed_; }
    bool Italic() const { return BitIsSet(fsSelection_, 0); }
    bool StrikeOut() const { return BitIsSet(fsSelection_, 4); }
    QString SubFamilyName() const { return LookupName(2); }
    QString PostscriptName() const { return LookupName(6); }
    QString Trademark() const { return LookupName(7); }
    bool Underlined() const { return BitIsSet(fsSelection_, 1); }
    QString UniqueIdentifier() const { return LookupName(3); }
    /// True when the "head" table carries the TrueType magic number.
    bool ValidTrueTypeFile() const { return validTrueTypeFile_; }
    QString VersionString() const { return LookupName(5); }

private:
    /// Reads the tables of a file opened for the load; false when it is not valid or a read fails.
    bool ReadFontTables(const sfnt::FileSource& file);
    QString LookupName(int nameId) const;
    bool ResolveFaceName();
    bool AddFontFile(const QString& path);
    void ReleaseFontFile();
    void ClearFileState();
    static bool FileExists(const QString& path);
    /// False for a bit index outside 0..15.
    static bool BitIsSet(std::uint16_t value, int bit);

    platform::FontSystem& fonts_;
    bool broadcast_ = false;
    QString fontFile_;
    QString faceName_;
    std::uint32_t systemLocale_ = 0;
    bool installed_ = false;
    bool validTrueTypeFile_ = false;
    std::vector<NameRecord> nameRecords_;
    std::vector<QString> nameStrings_;
    std::uint16_t fsSelection_ = 0; // from the first 86 bytes of "OS/2", host order
    /// The path this object added to the font table and has not taken out yet; empty when none.
    QString addedFile_;
};

} // namespace quillon
