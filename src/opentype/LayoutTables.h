#pragma once
// What a face's layout tables and variation data offer, read through HarfBuzz: the feature tags of GSUB and
// GPOS with the scripts and language systems each appears in, the registered names and the font's own names
// for them, the scripts and languages, the "fvar" axes (hidden ones marked) and named instances. The one
// reader of these tables for every window and for quillon-inspect.
//
// Cost: the directory, "GSUB", "GPOS", "GDEF", "maxp" and "fvar" (and "name" for Detail::Everything) are
// read, nothing else. Over this machine's 2,077 sfnt faces with the files in the page cache
// (bench/layout_tables_bench): 75 µs of processor time a face for Detail::Tags, 112 µs for Everything, where
// FreeType alone takes 44 µs to open a face and find its two tables; a face of a CJK collection about 1 ms,
// holding 237 KB of tables. The walk of a hostile file's language systems is bounded (kMostFeatureVisits);
// the rest is as large as the tables. Safe to call on any thread: nothing is shared between calls.

#include "opentype/Face.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon::opentype {

/// A script's default language system, as the tables have no tag for it.
inline const QByteArray kDefaultLanguage = QByteArrayLiteral("dflt");

struct LanguageSystem {
    QByteArray script;   // four characters, "latn"
    QByteArray language; // four characters, "TRK ", or kDefaultLanguage
    bool operator==(const LanguageSystem&) const = default;
};

struct Feature {
    QByteArray tag;   // four characters, "smcp"
    QString name;     // registered name ("Small Capitals"); empty when the registry has none
    QString fontName; // the font's own name for it (a stylistic set's or character variant's); may be empty
    bool substitution = false;           // in GSUB
    bool positioning = false;            // in GPOS
    std::vector<LanguageSystem> systems; // where it appears (Detail::Everything), by script then language
};

struct Language {
    QByteArray tag; // four characters as the table gives it, "URD "
    QString name;   // "Urdu"; empty when unknown or not asked for
};

struct Script {
    QByteArray tag;                  // four characters, "arab"; "DFLT" for the default script
    QString name;                    // "Arabic"; empty when unknown or not asked for
    std::vector<Language> languages; // its language systems other than the default, by tag
};

struct Axis {
    QByteArray tag;  // four characters, "wght"
    int nameID = -1; // the name record that names it; -1 when none
    QString name;    // its name in the system's language, else the tag (Detail::Everything)
    double minimum = 0, defaultValue = 0, maximum = 0;
    bool hidden = false; // the font asks that it not be offered to users
};

struct Instance {
    int nameID = -1;                 // subfamily name record; -1 when none
    QString name;                    // that name, else its coordinates in words (Detail::Everything)
    std::vector<double> coordinates; // one per axis, in axis order, design units
};

struct LayoutTables {
    std::vector<Feature> features; // by tag, each tag once
    std::vector<Script> scripts;   // by tag, of both tables together
    std::vector<Axis> axes;        // in the font's order
    std::vector<Instance> instances;
    bool cut = false; // the language systems were too many to walk: `systems` is incomplete
};

enum class Detail {
    Tags,      // feature, script and axis tags, instances' coordinates: no names, no language systems
    Everything // also names (from the name table, in `language`) and where each feature appears
};

/// Past this many feature references in the language systems the walk stops (a table can point every one of
/// 65,535 scripts at the same list of 65,535 features); real fonts stay far below.
constexpr std::uint64_t kMostFeatureVisits = 1u << 20;

/// The layout tables of an open face. `language` is the Windows LCID in which names are chosen.
LayoutTables readLayoutTables(const Face& face, Detail detail = Detail::Everything,
                              std::uint32_t language = 0x0409);
/// The same for face `index` (as FreeType takes it) of the file whose path the system spells `nativePath`;
/// nothing when it cannot be opened or is no sfnt face.
std::optional<LayoutTables> readLayoutTables(const QByteArray& nativePath, int index,
                                             Detail detail = Detail::Everything,
                                             std::uint32_t language = 0x0409);

/// "wght 700, opsz 14": a point of the design space in words.
QString coordinateWords(const QByteArrayList& tags, const std::vector<double>& values);

/// The style of the face as the font itself names it, for where the font system gives none: for named
/// instance n - 1 its subfamily name (chosen in `language`), else its coordinates; for the whole-range face
/// the instance at the default coordinates, else the defaults in words. Empty when the face has no
/// variations or no such instance.
QString instanceStyle(const Face& face, std::uint32_t language);

} // namespace quillon::opentype
