#pragma once
// What finding a face among thousands reads: for every listed face, the face its name draws and what the
// font system's cache holds of it (every name in every language, languages, character set, format, spacing,
// colour, where it is installed), then its layout feature tags and variation axes, which only the font file
// holds. The file reads are the slow part: src/platform/linux keeps what they found in a cache keyed by the
// font system's own cache state, so a later start reads no font file again.
//
// A survey runs on a thread of its own: it uses nothing else of the platform, and reports through callbacks
// on that thread. Its results are plain values (and a coverage object safe to read from any thread), so the
// caller hands them to the window's thread as they are.

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <vector>

namespace quillon::platform {

/// The outline or bitmap kind of a face, as the finder's format filter names them.
enum class FaceFormat : std::uint8_t {
    TrueType, // TrueType outlines in an sfnt
    Cff,      // PostScript (CFF or CFF2) outlines in an sfnt: OpenType CFF
    Type1,
    Bitmap, // PCF, BDF, Windows FNT, or an sfnt without outlines (colour bitmaps)
    Other,
};

/// A face of the face list: its name, and the file its first record names (the bare file name, lower-cased,
/// as the catalogue keeps it; empty for none). The file stands for the face when no installed face has its
/// name: the list names that file's face, not the substitute the font system would draw for the name.
struct ListedFace {
    QString name;
    QString recordFile;
};

struct SurveyedFace {
    QString path;      // absolute file of the face the listed name stands for; empty when none
    int index = 0;     // face index as the font engine takes it (named instance in bits 16..30)
    QStringList names; // family, style and full names in every language the cache holds, PostScript name
    FaceFormat format = FaceFormat::Other;
    bool collection = false; // the file holds several faces (.ttc, .otc)
    bool colour = false;     // colour glyphs
    bool monospaced = false; // every glyph one advance, or one and two (CJK dual width), or a character cell
    bool user = false;       // installed in the user's own folders rather than the system's
    int languageSet = -1;    // index of its languages in the coverage's sets; -1 for none
};

/// A face's layout feature tags (GSUB and GPOS together, sorted, each once) and variation axis tags (in the
/// font's order; empty for a face that is not variable). Four characters each.
struct LayoutTags {
    QByteArrayList features;
    QByteArrayList axes;
    bool operator==(const LayoutTags&) const = default;
};

/// The character sets and language sets of a survey's faces, as the font system's cache holds them. Faces
/// with one language set share it. Immutable; any thread may read it.
class SurveyCoverage {
public:
    virtual ~SurveyCoverage() = default;
    /// Whether face `face` (its position in the survey) has every one of `characters` (none: true).
    virtual bool hasCharacters(int face, std::span<const char32_t> characters) const = 0;
    /// Up to `count` characters of the face in code order, leaving out controls and blanks.
    virtual std::vector<char32_t> someCharacters(int face, int count) const = 0;
    virtual int languageSetCount() const = 0;
    /// The font system's language tags in set `set` ("en", "zh-cn", "und-zsye"), sorted.
    virtual QStringList languages(int set) const = 0;
    /// For each set, whether it holds `tag` as the font system's listing matches a language (a tag without
    /// territory also matches its territories, and the other way round).
    virtual std::vector<bool> setsWithLanguage(const QString& tag) const = 0;
    /// The characters the font system requires of a face for language `tag`; empty for a tag it does not
    /// know.
    virtual std::vector<char32_t> languageCharacters(const QString& tag) const = 0;
};

struct Survey {
    std::vector<SurveyedFace> faces; // one per listed face, in the order given
    std::shared_ptr<const SurveyCoverage> coverage;
};

/// Where a survey reports, on the surveying thread: first the faces, then (after the slow part) the layout
/// tags of every face.
class SurveyReport {
public:
    virtual ~SurveyReport() = default;
    virtual void faces(Survey survey) = 0;
    /// `done` of `total` faces' files read so far; called now and then during the slow part.
    virtual void layoutProgress(int done, int total) { (void)done, (void)total; }
    /// One per face, in the survey's order (a face whose file cannot be read has none). The last call.
    virtual void layout(std::vector<LayoutTags> tags) = 0;
    /// Polled between files: true ends the survey early, without the layout call.
    virtual bool cancelled() const { return false; }
};

class FaceSurvey {
public:
    virtual ~FaceSurvey() = default;
    /// Surveys the faces of `listed` (the face list, in its order): each the face its name draws, else its
    /// record's file. Blocks until done or cancelled; meant for a thread of its own. One survey at a time per
    /// object.
    virtual void survey(const std::vector<ListedFace>& listed, SurveyReport& report) = 0;
};

} // namespace quillon::platform
