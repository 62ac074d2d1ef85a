#pragma once
// What the Windows font mapper reports about a face, worked out from the face's own file with FreeType:
// the names it is selected by, the TEXTMETRIC pitch-and-family byte and the GetFontLanguageInfo flags.
//
// Pitch and family: 0x01 when the face is not fixed width and its PANOSE proportion is not 9 (monospaced);
// family script for PANOSE family 3, decorative for 4, otherwise modern when fixed pitch, else roman for
// PANOSE serif styles 2-10 and swiss for 11-15; 0x02 when scalable; 0x08 for an sfnt with a 'CFF ' table,
// else 0x04 for an sfnt. A Windows .fon face keeps the byte stored in it.
// Language flags: DBCS when the OS/2 code page ranges hold any of bits 17-21, glyph shapes when they hold
// bit 6 (Arabic), kerning when a Microsoft 'kern' table has a format-0 subtable with pairs
// (sfnt::kernTableHasPairs).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

typedef struct FT_LibraryRec_* FT_Library;

namespace quillon::platform {

struct FaceTraits {
    std::uint8_t pitchAndFamily = 0;
    std::uint32_t languageInfo = 0;
};

struct FaceNames {
    bool sfnt = false;
    /// Name ID 1 texts, every platform and language, lower-cased (sfnt faces only).
    QStringList familiesLower;
    /// The family to report: name ID 1 in US English on the Microsoft platform first; FreeType's family
    /// name for a face without a name table.
    QString family;
};

/// Traits of face `index` (FreeType's face index, named instance in bits 16..30) of `file`; nullopt when
/// FreeType cannot open it.
std::optional<FaceTraits> readFaceTraits(FT_Library library, const QString& file, int index);

/// The same with a FreeType library of its own, for a one-off look.
std::optional<FaceTraits> readFaceTraits(const QString& file, int index);

/// The names of face `index` of `file`; nullopt when FreeType cannot open it.
std::optional<FaceNames> readFaceNames(FT_Library library, const QString& file, int index);

/// The same from the file's bytes, held by the caller while the call lasts.
std::optional<FaceTraits> readFaceTraits(FT_Library library, const QByteArray& bytes, int index);
std::optional<FaceNames> readFaceNames(FT_Library library, const QByteArray& bytes, int index);

/// The tmPitchAndFamily rule above, from facts about the face (exposed for tests).
std::uint8_t pitchAndFamilyFrom(bool fixedWidth, bool scalable, bool sfnt, bool cff,
                                std::uint8_t panoseFamily, std::uint8_t panoseSerif,
                                std::uint8_t panoseProportion);

} // namespace quillon::platform
