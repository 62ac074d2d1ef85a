#pragma once
// Turns the faces fontconfig knows into the values of the Windows NT fonts key, named as Windows names
// them: one value per font file, in a stable order. Plain logic over plain records, so it can be checked
// without fontconfig; FontsKeyListing gathers the records from the machine.

#include <string>
#include <string_view>
#include <vector>

namespace quillon::platform {

/// One face of an installed font file as fontconfig lists it. Texts are UTF-8 and belong to the caller
/// (fontconfig's cache, as a rule): they must stay valid while buildFontsKey runs.
struct InstalledFace {
    std::string_view file; ///< full path
    int index = 0;         ///< fontconfig's index: face number in the low 16 bits, variation instance above
    std::string_view
        format; ///< fontconfig's font format: "TrueType", "CFF", "PCF", "BDF", "Windows FNT", ...
    std::string_view fullName;    ///< the face's English full name (name ID 4); "" when the font has none
    std::string_view family;      ///< first family name
    std::string_view style;       ///< first style name
    double pixelSize = 0;         ///< bitmap strike height in pixels; 0 for scalable faces
    std::string_view description; ///< a Windows .fon file's own description (after " : "); "" when none
    int dirRank = 0;              ///< position of the configured font folder that holds the file
};

struct FontsKeyEntry {
    std::string name; ///< the value name, never empty
    std::string file; ///< full path of the font file; the value's data is its bare file name
};

/// Value names are kept below this many bytes, so that no malformed font can produce a name that ends a
/// reader's enumeration (readers use 2000-byte name buffers).
inline constexpr std::size_t kMaxFontsKeyName = 1000;

/// The fonts key's values in order: font folder order, then path, then face number.
/// - TrueType and OpenType (CFF) files: the faces' full names joined by " & ", then " (TrueType)" or, for
///   CFF outlines, " (OpenType)"; variation instances are not files of their own and are skipped.
/// - Windows .fon files: the file's description, else the family and its point sizes.
/// - PCF/BDF files: "Family s1,s2,... (base name)", the sizes being those of every file of the same
///   family and style, in points at 96 dots per inch.
/// - Type 1 and every other format: not listed.
/// A name that repeats (ignoring ASCII case, as registry names do) keeps its first file.
std::vector<FontsKeyEntry> buildFontsKey(const std::vector<InstalledFace>& faces);

/// Point size at 96 dots per inch of a bitmap strike of the given pixel height, rounded; 0 when none.
int bitmapPointSize(double pixelSize);

} // namespace quillon::platform
