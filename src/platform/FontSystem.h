#pragma once
// The system's font table and font mapper, as the font file reader and the details text reach them: which
// face the mapper uses for a name, the temporary addition of a font file, the system locale, and a font made
// from a face-name request with its pitch-and-family byte and language flags. The calls keep their Windows
// names because their callers rely on those contracts (a handle that is 0 for no font, a count of fonts
// added, flags in Windows' bit layout), which quillon-inspect prints as they are; src/platform/linux
// realises them with fontconfig and FreeType.

#include <QString>

#include <cstdint>
#include <optional>

namespace quillon::platform {

/// A face the font system uses for a name.
struct ResolvedFace {
    QString file;        // absolute path of the font file
    int index = 0;       // face index inside the file; bits 16..30 name a variable font's named instance, as
                         // FreeType's FT_New_Face takes it (0 there: the default instance)
    QString family;      // the family the font system reports for the face
    QString style;       // the face's style name ("Regular", "Bold Italic", ...), may be empty
    QString styleFamily; // the family `style` is a style of, under which Qt lists the face too: for a face
                         // with a typographic family ("Noto Sans" for Noto Sans Black Italic) that family,
                         // not `family`; empty when the same as `family`
    bool substitute = false; // no face has the name asked for: this is the one drawn in its place
    bool fromRecord = false; // no face has the name, and this is the face of the file its record names
};

/// The face-name part of a font request (LOGFONT). Every other field of the request is zero, except that
/// fonts are always asked for as with DEFAULT_CHARSET, so a face without Latin-1 is described as itself.
struct LogFont {
    /// Face name field of 32 bytes: the font system reads at most kFaceNameChars characters of it.
    static constexpr int kFaceNameChars = 31;
    QString faceName;
};

/// Handle of a font made by CreateFontIndirect; 0 is no font. Valid until DeleteObject.
using FontHandle = std::uint64_t;

/// The one TEXTMETRIC field the program reads.
struct TextMetric {
    std::uint8_t tmPitchAndFamily = 0;
};

// tmPitchAndFamily bits and family numbers (high nibble), as Windows defines them.
inline constexpr std::uint8_t TMPF_FIXED_PITCH = 0x01; // set for a variable-pitch font
inline constexpr std::uint8_t TMPF_VECTOR = 0x02;
inline constexpr std::uint8_t TMPF_TRUETYPE = 0x04;
inline constexpr std::uint8_t TMPF_DEVICE = 0x08;
inline constexpr std::uint8_t FF_DONTCARE = 0x00;
inline constexpr std::uint8_t FF_ROMAN = 0x10;
inline constexpr std::uint8_t FF_SWISS = 0x20;
inline constexpr std::uint8_t FF_MODERN = 0x30;
inline constexpr std::uint8_t FF_SCRIPT = 0x40;
inline constexpr std::uint8_t FF_DECORATIVE = 0x50;

// GetFontLanguageInfo flags.
inline constexpr std::uint32_t GCP_DBCS = 0x1;
inline constexpr std::uint32_t GCP_REORDER = 0x2;
inline constexpr std::uint32_t GCP_USEKERNING = 0x8;
inline constexpr std::uint32_t GCP_GLYPHSHAPE = 0x10;
inline constexpr std::uint32_t GCP_DIACRITIC = 0x100;
inline constexpr std::uint32_t GCP_KASHIDA = 0x400;
inline constexpr std::uint32_t GCP_ERROR = 0x8000;
inline constexpr std::uint32_t FLI_GLYPHS = 0x40000;

/// The locale id used when the system's locale is unset, "C" or unknown: English (United States).
inline constexpr std::uint32_t kDefaultLcid = 0x0409;

class FontSystem {
public:
    virtual ~FontSystem() = default;

    /// The platform font object's name round trip: set `name` as its Name and read the Name back. The text
    /// read back is the face name the font mapper actually selected; it equals `name` exactly only when the
    /// system knows a face by that family name.
    virtual QString stdFontName(const QString& name) = 0;

    /// Adds the fonts of the file at `path` to this process's font table (AddFontResourceA): the number of
    /// faces added, 0 when none could be. Each successful addition needs its own removal.
    virtual int AddFontResource(const QString& path) = 0;
    /// Takes one addition of `path` back out (RemoveFontResourceA); false when none was made.
    virtual bool RemoveFontResource(const QString& path) = 0;
    /// Tells the rest of the program that the font table changed (WM_FONTCHANGE to HWND_BROADCAST).
    virtual void SendFontChange() = 0;

    /// The system default locale identifier (GetSystemDefaultLCID), kDefaultLcid when unknown.
    virtual std::uint32_t GetSystemDefaultLCID() = 0;

    /// The face the font system draws for the family or full name `name` (the whole name, no field limit),
    /// or its substitute when it knows no such face; nullopt only when it has no fonts at all.
    virtual std::optional<ResolvedFace> resolveFace(const QString& name) = 0;
    /// Makes `name`, when no installed face has it, resolve to the first face of the font file at `path`
    /// (resolveFace, not the details request): a listed face whose name the catalogue's clean-up made from
    /// its full name ("Noto Kufi Arabic Semi" from "... Semi Bold") is drawn from the file its own record
    /// names rather than from a substitute. False when the file holds no face the system knows.
    virtual bool useFileFor(const QString& name, const QString& path)
    {
        (void)name;
        (void)path;
        return false;
    }

    /// Makes a font for the request (CreateFontIndirectA); 0 when none can be made. The caller owns the
    /// handle and gives it back with DeleteObject.
    virtual FontHandle CreateFontIndirect(const LogFont& request) = 0;
    virtual bool DeleteObject(FontHandle font) = 0;
    /// The face a font handle stands for; nullopt for an unknown handle.
    virtual std::optional<ResolvedFace> faceOf(FontHandle font) = 0;
    /// Text metrics of the font (GetTextMetricsA after selecting it); nullopt for an unknown handle or a
    /// face whose file can no longer be read.
    virtual std::optional<TextMetric> GetTextMetrics(FontHandle font) = 0;
    /// Language flags of the font (GetFontLanguageInfo after selecting it); GCP_ERROR for an unknown handle.
    virtual std::uint32_t GetFontLanguageInfo(FontHandle font) = 0;
};

} // namespace quillon::platform
