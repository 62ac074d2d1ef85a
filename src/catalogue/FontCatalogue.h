#pragma once
// The program's picture of the installed fonts, built once at start-up: one record per distinct font file
// (its cleaned face, file name, style and raster sizes) and the face list in list order. Created by Main,
// passed by reference to whatever reads it.

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {

struct FontRecord {
    QString face; // cleaned face name, lower-cased
    QString file; // font file name as the fonts key gives it, terminator dropped, lower-cased
    bool bold = false;
    bool italic = false;
    QString
        sizes; // raster point sizes, comma-separated as listed in the entry name; empty for scalable fonts
};

class FontCatalogue {
public:
    // Invariant: no two records have the same file.
    std::vector<FontRecord> records;
    // The face list's entries in list order, exactly as listed.
    QStringList fontNames;

    int recordCount() const { return static_cast<int>(records.size()); }
    const QString& recordFace(int i) const { return records[static_cast<std::size_t>(i)].face; }
    const QString& recordFile(int i) const { return records[static_cast<std::size_t>(i)].file; }
    bool recordBold(int i) const { return records[static_cast<std::size_t>(i)].bold; }
    bool recordItalic(int i) const { return records[static_cast<std::size_t>(i)].italic; }
    const QString& recordSizes(int i) const { return records[static_cast<std::size_t>(i)].sizes; }
    int fontCount() const { return static_cast<int>(fontNames.size()); }

    /// Index of the first record of a face (compared with the lower-cased face), or -1.
    int firstRecordOfFace(const QString& face) const
    {
        const QString wanted = face.toLower();
        for (int i = 0; i < recordCount(); ++i)
            if (recordFace(i) == wanted) return i;
        return -1;
    }
};

} // namespace quillon
