#include "typeset/Typesetter.h"

#include "platform/FaceRasterizer.h"
#include "platform/GlyphFace.h"
#include "platform/NativeText.h"
#include "typeset/Characters.h"

#include <hb-ot.h>
#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>

namespace quillon::typeset {

namespace {

struct BidiDeleter {
    void operator()(UBiDi* b) const { ubidi_close(b); }
};
using Bidi = std::unique_ptr<UBiDi, BidiDeleter>;
struct BreakDeleter {
    void operator()(UBreakIterator* b) const { ubrk_close(b); }
};

hb_tag_t tagOf(const QByteArray& text)
{
    const QByteArray padded = text.leftJustified(4, ' ', true);
    return HB_TAG(padded[0], padded[1], padded[2], padded[3]);
}

/// An OpenType script tag or ISO 15924 code; HarfBuzz knows both ("dev2", "Deva"), INVALID for none.
hb_script_t scriptOf(const QByteArray& tag)
{
    const QByteArray trimmed = tag.trimmed();
    // HarfBuzz's script type holds tags of printable ASCII only.
    if (trimmed.isEmpty() || trimmed.size() > 4 ||
        !std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c > 0x20 && c < 0x7f; }))
        return HB_SCRIPT_INVALID;
    return hb_ot_tag_to_script(tagOf(trimmed));
}

/// An OpenType language tag is written in capitals ("TRK", "URD "), a BCP 47 code is not ("tr").
hb_language_t languageOf(const QByteArray& tag)
{
    const QByteArray trimmed = tag.trimmed();
    if (trimmed.isEmpty()) return HB_LANGUAGE_INVALID;
    const bool openType = trimmed.size() <= 4 && std::all_of(trimmed.begin(), trimmed.end(), [](char c) {
                              return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
                          });
    if (openType) return hb_ot_tag_to_language(tagOf(trimmed));
    return hb_language_from_string(trimmed.constData(), static_cast<int>(trimmed.size()));
}

bool isParagraphEnd(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// A face without tables HarfBuzz can read is set from the glyph face's own character map and advances.
hb_bool_t nominalGlyph(hb_font_t*, void* face, hb_codepoint_t unicode, hb_codepoint_t* glyph, void*)
{
    *glyph = static_cast<platform::GlyphFace*>(face)->glyphOf(unicode);
    return *glyph != 0;
}

hb_position_t horizontalAdvance(hb_font_t*, void* face, hb_codepoint_t glyph, void*)
{
    return static_cast<hb_position_t>(std::lround(static_cast<platform::GlyphFace*>(face)->advance(glyph)));
}

hb_bool_t fontExtents(hb_font_t*, void* face, hb_font_extents_t* extents, void*)
{
    const auto* glyphs = static_cast<platform::GlyphFace*>(face);
    extents->ascender = glyphs->ascender();
    extents->descender = -glyphs->descender();
    extents->line_gap = 0;
    return true;
}

hb_bool_t glyphName(hb_font_t*, void* face, hb_codepoint_t glyph, char* name, unsigned size, void*)
{
    const QByteArray text = static_cast<platform::GlyphFace*>(face)->glyphName(glyph);
    if (text.isEmpty() || size == 0) return false;
    const auto length = std::min<std::size_t>(static_cast<std::size_t>(text.size()), size - 1);
    std::copy_n(text.constData(), length, name);
    name[length] = '\0';
    return true;
}

hb_font_funcs_t* ownMapFuncs()
{
    hb_font_funcs_t* funcs = hb_font_funcs_create();
    hb_font_funcs_set_nominal_glyph_func(funcs, nominalGlyph, nullptr, nullptr);
    hb_font_funcs_set_glyph_h_advance_func(funcs, horizontalAdvance, nullptr, nullptr);
    hb_font_funcs_set_font_h_extents_func(funcs, fontExtents, nullptr, nullptr);
    hb_font_funcs_set_glyph_name_func(funcs, glyphName, nullptr, nullptr);
    hb_font_funcs_make_immutable(funcs);
    return funcs;
}

/// A stretch of a paragraph shaped as one: utf-16 positions [start, end), one script.
struct Item {
    int start = 0;
    int end = 0;
    hb_script_t script = HB_SCRIPT_COMMON;
};

/// The paragraph cut where its script changes; characters of no script of their own (spaces, digits,
/// marks) go with the script around them. One item for the whole paragraph when the script is given.
std::vector<Item> scriptItems(const char16_t* text, int length, hb_script_t given)
{
    if (given != HB_SCRIPT_INVALID) return {{0, length, given}};
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<Item> items;
    int i = 0;
    while (i < length) {
        const int at = i;
        char32_t c = text[i++];
        if (QChar::isHighSurrogate(c) && i < length && QChar::isLowSurrogate(text[i]))
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i++]);
        const hb_script_t script = hb_unicode_script(unicode, c);
        const bool own =
            script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN;
        if (items.empty()) {
            items.push_back({at, i, own ? script : HB_SCRIPT_COMMON});
        } else if (!own || script == items.back().script) {
            items.back().end = i;
        } else if (items.back().script == HB_SCRIPT_COMMON) {
            items.back().script = script; // what came before had no script of its own
            items.back().end = i;
        } else {
            items.push_back({at, i, script});
        }
    }
    return items;
}

/// One paragraph being set: its text, where each utf-16 position falls in characters, its bidi levels.
struct Paragraph {
    const char16_t* text;
    int length;
    std::vector<unsigned> characterAt; // utf-16 position → character index, length + 1 entries
    std::vector<Item> items;
    Bidi bidi;
};

} // namespace

std::unique_ptr<Typesetter> Typesetter::open(platform::FaceRasterizer& rasterizer, const QString& file,
                                             int index, std::uint32_t language)
{
    return open(rasterizer.openGlyphs(file, index), file, index, language);
}

std::unique_ptr<Typesetter> Typesetter::open(std::unique_ptr<platform::GlyphFace> glyphs, const QString& file,
                                             int index, std::uint32_t language, opentype::Detail detail)
{
    if (!glyphs) return nullptr;
    std::unique_ptr<Typesetter> out(new Typesetter);
    out->glyphs_ = std::move(glyphs);
    out->face_ = opentype::Face::open(platform::nativeBytes(file), index);
    if (out->face_) {
        out->tables_ = opentype::readLayoutTables(out->face_, detail, language);
        out->font_ = hb_font_create(out->face_.hb());
        out->unitsPerEm_ = out->face_.unitsPerEm();
    } else {
        // A face of no tables (HarfBuzz's own empty face is inert: nothing shapes with it).
        hb_face_t* none = hb_face_create(hb_blob_get_empty(), 0);
        hb_face_set_upem(none, static_cast<unsigned>(out->glyphs_->unitsPerEm()));
        out->font_ = hb_font_create(none);
        hb_face_destroy(none);
        hb_font_funcs_t* funcs = ownMapFuncs();
        hb_font_set_funcs(out->font_, funcs, out->glyphs_.get(), nullptr);
        hb_font_funcs_destroy(funcs);
        out->unitsPerEm_ = out->glyphs_->unitsPerEm();
    }
    // Shaped at one unit a font unit: positions come in font units, which every size then scales.
    const int scale = static_cast<int>(out->unitsPerEm_);
    hb_font_set_scale(out->font_, scale, scale);
    out->buffer_ = hb_buffer_create();

    for (const opentype::Axis& axis : out->tables_.axes) out->coordinates_.push_back(axis.defaultValue);
    const int instance = out->face_.namedInstance();
    if (instance > 0 && static_cast<std::size_t>(instance) <= out->tables_.instances.size()) {
        const opentype::Instance& named = out->tables_.instances[static_cast<std::size_t>(instance - 1)];
        for (std::size_t a = 0; a < out->tables_.axes.size(); ++a)
            if (named.coordinates[a] != out->tables_.axes[a].defaultValue)
                out->settings_.setAxis(out->tables_.axes[a].tag, named.coordinates[a]);
        out->coordinates_ = named.coordinates;
    }
    out->applyCoordinates();
    return out;
}

Typesetter::~Typesetter()
{
    if (buffer_) hb_buffer_destroy(buffer_);
    if (font_) hb_font_destroy(font_);
}

void Typesetter::setSettings(const FontSettings& settings)
{
    settings_ = settings;
    std::vector<double> coordinates;
    for (const opentype::Axis& axis : tables_.axes) {
        const double value = settings.axis(axis.tag).value_or(axis.defaultValue);
        coordinates.push_back(
            std::clamp(value, std::min(axis.minimum, axis.maximum), std::max(axis.minimum, axis.maximum)));
    }
    if (coordinates == coordinates_) return;
    coordinates_ = std::move(coordinates);
    applyCoordinates();
}

void Typesetter::applyCoordinates()
{
    ++generation_;
    if (coordinates_.empty()) return;
    const std::vector<float> design(coordinates_.begin(), coordinates_.end());
    hb_font_set_var_coords_design(font_, design.data(), static_cast<unsigned>(design.size()));
    glyphs_->setCoordinates(coordinates_);
}

ShapedText Typesetter::shape(const QString& text, double maxWidth) const
{
    ShapedText out;
    out.unitsPerEm = unitsPerEm_;
    hb_font_extents_t extents{};
    if (hb_font_get_h_extents(font_, &extents) && extents.ascender - extents.descender > 0) {
        out.ascender = extents.ascender;
        out.descender = -extents.descender;
        out.lineGap = std::max<hb_position_t>(0, extents.line_gap);
    } else {
        out.ascender = glyphs_->ascender();
        out.descender = glyphs_->descender();
    }

    const hb_script_t script = scriptOf(settings_.script);
    const hb_language_t language = languageOf(settings_.language);
    std::vector<hb_feature_t> features;
    for (const FeatureSetting& f : settings_.features)
        features.push_back({tagOf(f.tag), f.value, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END});
    // A given script sets the paragraphs' direction; otherwise their first strong character does.
    const UBiDiLevel level = script == HB_SCRIPT_INVALID ? UBIDI_DEFAULT_LTR
                             : hb_script_get_horizontal_direction(script) == HB_DIRECTION_RTL ? 1
                                                                                              : 0;

    // Shapes [start, end) of the paragraph in one direction, with the whole paragraph around it as context.
    auto shapePiece = [&](const Paragraph& p, int start, int end, bool rightToLeft, hb_script_t pieceScript,
                          std::vector<ShapedGlyph>& glyphs) {
        hb_buffer_clear_contents(buffer_);
        hb_buffer_add_utf16(buffer_, reinterpret_cast<const std::uint16_t*>(p.text), p.length,
                            static_cast<unsigned>(start), end - start);
        // Clusters count characters from the paragraph's start, as HarfBuzz's own tools count them.
        unsigned count = 0;
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer_, &count);
        for (unsigned i = 0; i < count; ++i) info[i].cluster = p.characterAt[info[i].cluster];
        hb_buffer_set_direction(buffer_, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer_, pieceScript);
        if (language != HB_LANGUAGE_INVALID) hb_buffer_set_language(buffer_, language);
        hb_buffer_guess_segment_properties(buffer_);
        hb_shape(font_, buffer_, features.data(), static_cast<unsigned>(features.size()));
        info = hb_buffer_get_glyph_infos(buffer_, &count);
        const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer_, nullptr);
        for (unsigned i = 0; i < count; ++i)
            glyphs.push_back({info[i].codepoint, info[i].cluster, position[i].x_advance,
                              position[i].y_advance, position[i].x_offset, position[i].y_offset, 0});
    };
    // The pieces of a run of one direction, each of one script, in logical order.
    auto pieces = [](const Paragraph& p, int start, int end) {
        std::vector<Item> out;
        for (const Item& item : p.items)
            if (item.end > start && item.start < end)
                out.push_back({std::max(item.start, start), std::min(item.end, end), item.script});
        return out;
    };

    const char16_t* all = reinterpret_cast<const char16_t*>(text.utf16());
    int paragraph = 0;
    for (int begin = 0, i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isParagraphEnd(all[i])) continue;
        Paragraph p{all + begin, i - begin, {}, {}, nullptr};
        const bool crlf = i + 1 < text.size() && all[i] == u'\r' && all[i + 1] == u'\n';
        begin = i + 1 + (crlf ? 1 : 0);
        i += crlf ? 1 : 0;
        const int number = paragraph++;
        if (p.length == 0) {
            if (i < text.size()) out.lines.push_back({{}, 0, number, false});
            continue;
        }

        p.characterAt.resize(static_cast<std::size_t>(p.length) + 1);
        unsigned characters = 0;
        for (int k = 0; k < p.length; ++k) {
            // The second half of a surrogate pair belongs to the character the first half began.
            const bool second =
                k > 0 && QChar::isLowSurrogate(p.text[k]) && QChar::isHighSurrogate(p.text[k - 1]);
            p.characterAt[static_cast<std::size_t>(k)] = second ? characters - 1 : characters++;
        }
        p.characterAt.back() = characters;
        p.items = scriptItems(p.text, p.length, script);
        UErrorCode status = U_ZERO_ERROR;
        p.bidi.reset(ubidi_openSized(p.length, 0, &status));
        ubidi_setPara(p.bidi.get(), reinterpret_cast<const UChar*>(p.text), p.length, level, nullptr,
                      &status);
        if (U_FAILURE(status)) continue;
        const bool rightToLeft = ubidi_getParaLevel(p.bidi.get()) & 1;

        // Where the lines end: everywhere the line breaker allows, as long as the line stays narrow enough.
        std::vector<std::pair<int, int>> lines; // utf-16 [start, end), trailing blanks of a broken line cut
        auto trimmed = [&](int start, int end) {
            while (end > start && u_isWhitespace(p.text[end - 1])) --end;
            return end;
        };
        if (maxWidth > 0) {
            std::vector<double> before(characters + 1, 0); // advances of the characters before each one
            for (int at = 0; at < p.length;) {
                int limit = at;
                UBiDiLevel runLevel = 0;
                ubidi_getLogicalRun(p.bidi.get(), at, &limit, &runLevel);
                std::vector<ShapedGlyph> glyphs;
                for (const Item& piece : pieces(p, at, limit))
                    shapePiece(p, piece.start, piece.end, runLevel & 1, piece.script, glyphs);
                for (const ShapedGlyph& g : glyphs)
                    before[std::min(g.cluster, characters - 1) + 1] += g.xAdvance;
                at = std::max(limit, at + 1);
            }
            for (std::size_t k = 1; k < before.size(); ++k) before[k] += before[k - 1];
            auto width = [&](int start, int end) {
                return before[p.characterAt[end]] - before[p.characterAt[start]];
            };
            std::unique_ptr<UBreakIterator, BreakDeleter> breaks(
                ubrk_open(UBRK_LINE, language != HB_LANGUAGE_INVALID ? hb_language_to_string(language) : "",
                          reinterpret_cast<const UChar*>(p.text), p.length, &status));
            int start = 0, candidate = -1;
            for (int b = breaks ? ubrk_following(breaks.get(), 0) : UBRK_DONE;
                 b != UBRK_DONE && b <= p.length; b = ubrk_next(breaks.get())) {
                if (candidate > start && width(start, trimmed(start, b)) > maxWidth) {
                    lines.emplace_back(start, trimmed(start, candidate));
                    start = candidate;
                }
                candidate = b;
            }
            lines.emplace_back(start, p.length);
        } else {
            lines.emplace_back(0, p.length);
        }

        Bidi lineBidi(ubidi_openSized(p.length, 0, &status));
        for (const auto& [start, end] : lines) {
            ShapedLine line{{}, 0, number, rightToLeft};
            status = U_ZERO_ERROR;
            if (end > start) ubidi_setLine(p.bidi.get(), start, end, lineBidi.get(), &status);
            const int runs = end > start && U_SUCCESS(status) ? ubidi_countRuns(lineBidi.get(), &status) : 0;
            double pen = 0;
            for (int r = 0; r < runs && U_SUCCESS(status); ++r) {
                int32_t runStart = 0, runLength = 0;
                const bool rtl = ubidi_getVisualRun(lineBidi.get(), r, &runStart, &runLength) == UBIDI_RTL;
                std::vector<Item> inRun = pieces(p, start + runStart, start + runStart + runLength);
                if (rtl) std::reverse(inRun.begin(), inRun.end());
                for (const Item& piece : inRun) {
                    const std::size_t first = line.glyphs.size();
                    shapePiece(p, piece.start, piece.end, rtl, piece.script, line.glyphs);
                    for (std::size_t g = first; g < line.glyphs.size(); ++g) {
                        line.glyphs[g].x = pen;
                        pen += line.glyphs[g].xAdvance;
                    }
                }
            }
            line.width = pen;
            out.lines.push_back(std::move(line));
        }
    }
    return out;
}

QString Typesetter::glyphName(unsigned glyph) const
{
    char name[128] = {};
    if (hb_font_get_glyph_name(font_, glyph, name, sizeof name) && name[0]) return QString::fromUtf8(name);
    return QStringLiteral("gid%1").arg(glyph);
}

std::vector<char32_t> Typesetter::missingCharacters(const QString& text) const
{
    std::vector<char32_t> out;
    for (char32_t c : charactersOf(text)) {
        if (isParagraphEnd(static_cast<char16_t>(c <= 0xFFFF ? c : 0)) ||
            u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT))
            continue;
        hb_codepoint_t glyph = 0;
        if (!hb_font_get_nominal_glyph(font_, c, &glyph)) out.push_back(c);
    }
    return out;
}

} // namespace quillon::typeset
