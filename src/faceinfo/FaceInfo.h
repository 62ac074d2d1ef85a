#pragma once
// Everything about one face in one place: the installed files that hold it (and which one the sample draws
// from), its name records in words, what it covers, its layout features, variation axes and colour tables,
// and its licence. Gathered on request (the face information window, quillon-inspect), never on a face
// change of the main window.

#include "catalogue/FontCatalogue.h"
#include "faceinfo/Coverage.h"
#include "opentype/LayoutTables.h"
#include "platform/FontFacts.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {
namespace platform {
class FontFileLookup;
class FontSystem;
} // namespace platform

namespace faceinfo {

struct FileRow {
    QString path;
    int index = 0;
    QString
        format; // "TrueType", "OpenType CFF", "TrueType collection, face 2 of 10", "Type 1", "Bitmap (PCF)"
    QString style;
    QString version; // "2.037", empty when unknown
    std::int64_t bytes = -1;
    QString folder;
    bool drawn = false;      // the sample draws from this face
    bool substitute = false; // drawn, though it is not this face: the font system's substitute for the name
    bool inRecords = false;  // the catalogue's records name the file
    bool installed = true;   // false: a file read as it is, which the font system does not list
};

struct NameRow {
    int nameID = 0;
    int platformID = 0;
    int encodingID = 0;
    int languageID = 0;
    QString nameWords; // "Full name"
    QString platform;  // "Windows"
    QString language;  // "English (United States)"
    QString text;
    bool used = false; // the details or the copyright line read this record
};

// The layout tables as their one reader gives them.
using Feature = opentype::Feature;
using Axis = opentype::Axis;
using Instance = opentype::Instance;

struct FaceInfo {
    QString face;               // as asked
    std::vector<FileRow> files; // no face found: empty
    int described = -1;         // the row whose face the rest describes (the drawn one when it is this face)
    int facesInFile = 1;        // faces the described row's file holds: more than one for a collection
    std::vector<NameRow> names; // grouped by name ID, then in the file's order
    int glyphCount = 0;
    std::vector<platform::CodeRange> charset;
    int characterCount = 0;
    std::vector<ScriptCount> scripts;
    QStringList languages;
    std::vector<Feature> features;
    std::vector<opentype::Script> layoutScripts; // the scripts and language systems of GSUB and GPOS
    std::vector<Axis> axes;
    std::vector<Instance> instances;
    QStringList colourTables; // present ones of COLR, CPAL, CBDT, sbix, SVG
    QString licence;          // name ID 13
    QString licenceUrl;       // name ID 14
};

class FaceInfoReader {
public:
    /// All references must outlive the reader; catalogue may be empty (quillon-inspect on a file).
    FaceInfoReader(platform::FontFacts& facts, platform::FontSystem& fonts, platform::FontFileLookup& files,
                   const FontCatalogue& catalogue);

    /// Gathers the face's files and the details of the face the sample draws from (or the first file's).
    FaceInfo read(const QString& face);
    /// The same for one face of a font file, installed or not: the file is the face described, its family
    /// names the face and finds the other files. `lookUpDrawn` false leaves out which face the font system
    /// draws for the family: for a file the program has not added, that face is never the file's.
    FaceInfo readFile(const QString& path, int index, bool lookUpDrawn = true);

    /// The format in words for a face of a file.
    static QString formatWords(const platform::FontFileFacts& file, bool cffOutlines);
    /// 16.16 revision as "1.000"; empty for 0.
    static QString versionWords(std::uint32_t revision);

private:
    void gatherFiles(FaceInfo& info, bool lookUpDrawn);
    void describe(FaceInfo& info, const platform::FaceFacts& facts);

    platform::FontFacts& facts_;
    platform::FontSystem& fonts_;
    platform::FontFileLookup& files_;
    const FontCatalogue& catalogue_;
};

} // namespace faceinfo
} // namespace quillon
