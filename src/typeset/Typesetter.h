#pragma once
// The one place text is set in a face from its own file: HarfBuzz shapes it with the face's layout tables
// (read through src/opentype), ICU lays mixed left-to-right and right-to-left text out by the Unicode
// bidirectional algorithm and finds where lines may break, and the glyph face (FreeType, through the
// platform) draws the glyphs the shaping chose. The features, script, language and point of the design
// space are the FontSettings given; the coordinates go to HarfBuzz and FreeType alike. No font is asked
// of Qt or the font system: what is set is always this face, never a substitute.
//
// A face without layout tables HarfBuzz can read (a Type 1 font) is set glyph by glyph from its own
// character map and advances. One thread at a time.

#include "opentype/LayoutTables.h"
#include "typeset/FontSettings.h"
#include "typeset/ShapedText.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

typedef struct hb_font_t hb_font_t;
typedef struct hb_buffer_t hb_buffer_t;

namespace quillon::platform {
class FaceRasterizer;
class GlyphFace;
} // namespace quillon::platform

namespace quillon::typeset {

class Typesetter {
public:
    /// Face `index` (as FreeType takes it: bits 16..30 a named instance, whose coordinates it starts at) of
    /// `file`; `language` is the Windows LCID in which the face's own names are read. Null when the glyph
    /// face cannot be opened.
    static std::unique_ptr<Typesetter> open(platform::FaceRasterizer& rasterizer, const QString& file,
                                            int index, std::uint32_t language);
    /// The same over a glyph face already open on that face (one of GlyphFaces', which a thread other than
    /// the window's may use); `detail` as much of the tables as tables() is to hold: Tags when only text is
    /// set. Null when `glyphs` is.
    static std::unique_ptr<Typesetter> open(std::unique_ptr<platform::GlyphFace> glyphs, const QString& file,
                                            int index, std::uint32_t language,
                                            opentype::Detail detail = opentype::Detail::Everything);
    ~Typesetter();
    Typesetter(const Typesetter&) = delete;
    Typesetter& operator=(const Typesetter&) = delete;

    /// Features, scripts and languages, axes and instances of the face.
    const opentype::LayoutTables& tables() const { return tables_; }
    /// Whether HarfBuzz shapes with the face's own layout tables (an sfnt face).
    bool shapesWithTables() const { return static_cast<bool>(face_); }
    platform::GlyphFace& glyphs() { return *glyphs_; }
    double unitsPerEm() const { return unitsPerEm_; }
    /// Bytes of the face's tables held for shaping.
    std::uint64_t tableBytes() const { return face_.tableBytes(); }

    /// Settings from now on. Axes the face does not have are ignored; a value is kept within its axis.
    void setSettings(const FontSettings& settings);
    const FontSettings& settings() const { return settings_; }
    /// The design coordinates in use, one per axis (the defaults, a named instance's, or as set).
    const std::vector<double>& coordinates() const { return coordinates_; }
    /// Counts changes of the coordinates: glyph images of an earlier generation are stale.
    unsigned generation() const { return generation_; }

    /// Sets `text`: a paragraph per line as typed, lines broken where they may be to stay within
    /// `maxWidth` font units (0: only at the text's own line breaks).
    ShapedText shape(const QString& text, double maxWidth = 0) const;

    /// The glyph's name from the face (post or CFF table), else "gidN" as HarfBuzz's tools write it.
    QString glyphName(unsigned glyph) const;
    /// The distinct characters of `text` the face's character map lacks, in text order (line breaks, tabs
    /// and characters that are never drawn are not asked for).
    std::vector<char32_t> missingCharacters(const QString& text) const;

private:
    Typesetter() = default;
    void applyCoordinates();

    opentype::Face face_;
    opentype::LayoutTables tables_;
    std::unique_ptr<platform::GlyphFace> glyphs_;
    hb_font_t* font_ = nullptr;
    hb_buffer_t* buffer_ = nullptr;
    double unitsPerEm_ = 1000;
    FontSettings settings_;
    std::vector<double> coordinates_;
    unsigned generation_ = 0;
};

} // namespace quillon::typeset
