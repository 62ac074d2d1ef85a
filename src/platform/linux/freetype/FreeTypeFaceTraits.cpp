#include "platform/linux/freetype/FreeTypeFaceTraits.h"

#include "platform/NativeText.h"
#include "platform/linux/files/FontFileBytes.h"
#include "sfnt/NameTable.h"
#include "sfnt/Source.h"
#include "sfnt/Tables.h"

#include <QFile>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_WINFONTS_H

#include <memory>
#include <vector>

namespace quillon::platform {

namespace {

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

FacePtr openFace(FT_Library library, const QString& file, int index)
{
    if (!library || index < 0) return nullptr;
    // Read, not mapped: a font file replaced while it is open must not end the program.
    return FacePtr(openFaceByReads(library, file, index));
}

FacePtr openFace(FT_Library library, const QByteArray& bytes, int index)
{
    if (!library || index < 0) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.constData()),
                           static_cast<FT_Long>(bytes.size()), index, &face) != 0)
        return nullptr;
    return FacePtr(face);
}

bool hasTable(FT_Face face, FT_ULong tag)
{
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0;
}

bool faceKerns(FT_Face face)
{
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, TTAG_kern, 0, nullptr, &length) != 0 || length == 0) return false;
    // A kern table is bounded by the file FreeType already holds open; cap what we copy all the same.
    length = std::min<FT_ULong>(length, 1u << 20);
    std::vector<std::uint8_t> table(length);
    if (FT_Load_Sfnt_Table(face, TTAG_kern, 0, table.data(), &length) != 0) return false;
    return sfnt::kernTableHasPairs(std::span(table.data(), table.size()));
}

} // namespace

std::uint8_t pitchAndFamilyFrom(bool fixedWidth, bool scalable, bool sfnt, bool cff,
                                std::uint8_t panoseFamily, std::uint8_t panoseSerif,
                                std::uint8_t panoseProportion)
{
    std::uint8_t byte = 0;
    const bool variablePitch = !fixedWidth && panoseProportion != 9;
    if (variablePitch) byte |= 0x01;
    if (scalable) byte |= 0x02;
    if (sfnt) byte |= cff ? 0x08 : 0x04;
    if (panoseFamily == 3)
        byte |= 0x40;
    else if (panoseFamily == 4)
        byte |= 0x50;
    else if (!variablePitch)
        byte |= 0x30;
    else if (panoseSerif >= 2 && panoseSerif <= 10)
        byte |= 0x10;
    else if (panoseSerif >= 11 && panoseSerif <= 15)
        byte |= 0x20;
    return byte;
}

namespace {

std::optional<FaceTraits> traitsOf(const FacePtr& face)
{
    if (!face) return std::nullopt;
    FaceTraits traits;
    FT_WinFNT_HeaderRec fnt{};
    if (FT_Get_WinFNT_Header(face.get(), &fnt) == 0) {
        traits.pitchAndFamily = fnt.pitch_and_family;
        return traits;
    }
    const bool sfnt = FT_IS_SFNT(face.get());
    const auto* os2 = sfnt ? static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_OS2)) : nullptr;
    const std::uint8_t* panose = os2 ? os2->panose : nullptr;
    traits.pitchAndFamily =
        pitchAndFamilyFrom(FT_IS_FIXED_WIDTH(face.get()), FT_IS_SCALABLE(face.get()), sfnt,
                           sfnt && hasTable(face.get(), TTAG_CFF), panose ? panose[0] : 0,
                           panose ? panose[1] : 0, panose ? panose[3] : 0);
    if (os2 && os2->version >= 1 && os2->version != 0xFFFF) {
        if (os2->ulCodePageRange1 & (0x1Fu << 17)) traits.languageInfo |= 0x1;
        if (os2->ulCodePageRange1 & (1u << 6)) traits.languageInfo |= 0x10;
    }
    if (sfnt && faceKerns(face.get())) traits.languageInfo |= 0x8;
    return traits;
}

/// The names of `face`, its records read from `file` (the same font's bytes; null when they cannot be read).
std::optional<FaceNames> namesOf(const FacePtr& face, const sfnt::Source* file, int index)
{
    if (!face) return std::nullopt;
    FaceNames names;
    names.sfnt = FT_IS_SFNT(face.get());
    int rank = 4; // lower is better: 0 Microsoft US English, 1 Microsoft other, 2 Macintosh, 3 any other
    // The records as the program's own reader reads and decodes them, from the directory and name table only.
    const std::vector<sfnt::NameEntry> records =
        names.sfnt && file ? sfnt::listNames(*file, index & 0xffff) : std::vector<sfnt::NameEntry>{};
    for (const sfnt::NameEntry& name : records) {
        if (name.nameID != TT_NAME_ID_FONT_FAMILY) continue;
        names.familiesLower << name.text.toLower();
        int r = 3;
        if (name.platformID == TT_PLATFORM_MICROSOFT)
            r = name.languageID == 0x0409 ? 0 : 1;
        else if (name.platformID == TT_PLATFORM_MACINTOSH)
            r = 2;
        if (r < rank && !name.text.isEmpty()) {
            rank = r;
            names.family = name.text;
        }
    }
    if (names.family.isEmpty() && face->family_name) names.family = QString::fromUtf8(face->family_name);
    return names;
}

} // namespace

std::optional<FaceTraits> readFaceTraits(FT_Library library, const QString& file, int index)
{
    return traitsOf(openFace(library, file, index));
}

std::optional<FaceTraits> readFaceTraits(FT_Library library, const QByteArray& bytes, int index)
{
    return traitsOf(openFace(library, bytes, index));
}

std::optional<FaceTraits> readFaceTraits(const QString& file, int index)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return std::nullopt;
    std::optional<FaceTraits> traits = readFaceTraits(library, file, index);
    FT_Done_FreeType(library);
    return traits;
}

std::optional<FaceNames> readFaceNames(FT_Library library, const QString& file, int index)
{
    FacePtr face = openFace(library, file, index);
    if (!face) return std::nullopt;
    sfnt::FileSource source;
    return namesOf(face, source.open(nativeBytes(file)) ? &source : nullptr, index);
}

std::optional<FaceNames> readFaceNames(FT_Library library, const QByteArray& bytes, int index)
{
    const sfnt::MemorySource source(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                              static_cast<std::size_t>(bytes.size())));
    return namesOf(openFace(library, bytes, index), &source, index);
}

} // namespace quillon::platform
