#pragma once
// What the face information reads of a font beyond what the main window needs: the installed files that hold
// a face, and for one face of one file its name records, character set, languages, layout tables, variation
// axes and the tags of its tables. Facts as the font gives them: src/faceinfo turns them into words.
// src/platform/linux realises it with fontconfig (from its cache where it can), FreeType and the layout
// table reader (src/opentype); every read is bounded by the file.

#include "opentype/LayoutTables.h"
#include "sfnt/NameTable.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quillon::platform {

/// One face of one font file, as the font system lists it.
struct FontFileFacts {
    QString path;        // absolute
    int index = 0;       // face index inside the file (bits 16..30: a named instance, as FreeType takes it)
    int facesInFile = 1; // faces the file holds: more than one for a collection
    QString fontFormat;  // fontconfig's word: "TrueType", "CFF", "Type 1", "PCF", "BDF", "Windows FNT", ...
    QString family;      // first family name
    QString style;       // first style name
    QString fullName;    // first full name; may be empty (bitmap fonts)
    std::int64_t bytes = 0;    // file size; -1 when it cannot be read
    std::uint32_t version = 0; // font revision, 16.16 fixed point; 0 when unknown
    QString versionText;       // the font's own version text where it has no revision number (Type 1); read
                               // only when the file is opened
    bool variable = false;     // the whole-range face of a variable font
};

/// A closed range of code points, first <= last.
using CodeRange = std::pair<char32_t, char32_t>;

struct FaceFacts {
    FontFileFacts file;
    int glyphCount = 0;
    std::vector<sfnt::NameEntry> names; // in the file's order, each decoded by its platform and encoding
    QByteArrayList tables;              // tags of the tables present, four characters each
    opentype::LayoutTables layout;      // features, scripts, axes and instances (of a Type 1 multiple master
                                        // font: its axes and instances as the font engine gives them)
    std::vector<CodeRange> charset;     // ascending, not overlapping
    QStringList languages;              // fontconfig's language tags the face covers ("en", "zh-cn", ...)
};

class FontFacts {
public:
    virtual ~FontFacts() = default;

    /// Installed faces whose family or full name, in any language, equals `name` ignoring case, in the font
    /// system's order, then the other files of a face found by its full name (same family and style: the
    /// Type 1 files beside an OpenType one whose full names differ). Empty when none does.
    virtual std::vector<FontFileFacts> installedFacesNamed(const QString& name) = 0;
    /// Everything read of one face of a file, installed or not; nullopt when the file holds no such face or
    /// cannot be read.
    virtual std::optional<FaceFacts> faceFacts(const QString& path, int index) = 0;
    /// Whether the face has a glyph for every one of `characters` (an empty list: true). Cheap for installed
    /// faces: asked of the font system's cache, no file is opened.
    virtual bool hasCharacters(const QString& path, int index, const std::vector<char32_t>& characters) = 0;
};

} // namespace quillon::platform
