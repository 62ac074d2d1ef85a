#pragma once
// The finder's index of the listed faces and its filters. Built from a survey (see platform/FaceSurvey.h)
// off the window's thread; the layout tags join it later. Each filter keeps its answer for every face, so a
// change of one filter evaluates only that one again (a longer name search only among the faces the shorter
// one found), and the results are the faces every filter lets through, in list order.
//
// Memory: a face's names are kept folded in one shared text pool, its tags as numbers in a shared pool; its
// character set and languages stay in the font system's cache. Not thread-safe: one thread at a time.

#include "find/FindQuery.h"
#include "platform/FaceSurvey.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillon::find {

/// The filters in the window's order; each one's count is of the faces it and every filter before it leave.
enum class Step { Name, WritingSystem, Characters, Feature, Variation, Colour, Monospaced, Format, Origin };
inline constexpr int kSteps = 9;

/// The layout tags of every face, made ready to join a finder (off the window's thread: interning the tags
/// of tens of thousands of faces takes a while).
struct LayoutIndex {
    QList<QByteArray> tags; // each tag once; numbers index it
    std::vector<std::uint32_t>
        starts; // per face: where its feature numbers begin in `numbers`; one more at the end
    std::vector<std::uint8_t> axisCounts; // per face: how many of its numbers (the last ones) are axes
    std::vector<std::uint16_t> numbers;
    static LayoutIndex from(const std::vector<platform::LayoutTags>& tags);
};

struct TagCount {
    QByteArray tag;
    int faces = 0;
};

struct LanguageCount {
    QString tag;
    QString name;   // in English
    QString script; // the script it is written in
    int faces = 0;
};

class FaceFinder {
public:
    /// listed: the face list's names, in list order; survey: their faces, one per name.
    FaceFinder(const QStringList& listed, platform::Survey survey);
    ~FaceFinder();

    void setLayout(LayoutIndex layout);
    bool layoutKnown() const { return layoutKnown_; }

    int size() const { return static_cast<int>(faces_.size()); }
    const QString& name(int face) const { return faces_[static_cast<std::size_t>(face)].name; }
    const QString& path(int face) const { return faces_[static_cast<std::size_t>(face)].path; }
    int index(int face) const { return faces_[static_cast<std::size_t>(face)].index; }
    /// The face's layout feature tags and axis tags; empty until the layout is known.
    QByteArrayList features(int face) const;
    QByteArrayList axes(int face) const;
    /// The language tags of the face, sorted.
    QStringList languages(int face) const;
    bool hasCharacters(int face, const std::vector<char32_t>& characters) const;
    std::vector<char32_t> someCharacters(int face, int count) const;

    /// Applies `query`: the filters that changed since the last call are evaluated again.
    void apply(const FindQuery& query);
    const FindQuery& query() const { return query_; }
    /// The faces every filter lets through, in list order.
    const std::vector<int>& results() const { return results_; }
    /// Faces the filters up to and including `step` leave.
    int leftAfter(Step step) const { return left_[static_cast<std::size_t>(step)]; }

    /// Every language some face has, with the faces the name filter leaves that have it (as the language
    /// filter would count them), by script and then name.
    std::vector<LanguageCount> languageCounts() const;
    /// Every script, with the faces the name filter leaves that have a language written in it.
    std::vector<LanguageCount> scriptCounts() const;
    /// Every feature (or axis) tag some face has, with the faces the filters before it leave that have it.
    std::vector<TagCount> featureCounts() const;
    std::vector<TagCount> axisCounts() const;

    /// The script of a language tag, as the language list groups it.
    QString scriptOfLanguage(const QString& tag) const;

    /// What the face's row shows: `preferred` (the query's text, or a sample of its language or script)
    /// without the characters the face lacks, while it keeps most of them; else the same of the default
    /// sample; else a sample of a language the face has; else some of its characters. Never a box.
    QString sampleFor(int face, const QString& preferred) const;
    /// The sample the query asks for: its text, else a sample of its language or script; empty for none.
    QString querySample() const;
    static const QString kDefaultSample;

    /// Bytes the index holds besides the font system's cache, for the benchmark.
    std::size_t memoryBytes() const;

private:
    struct Face {
        QString name;
        QString path;
        int index = 0;
        std::uint32_t text = 0;   // where the folded names begin in the pool
        std::uint32_t length = 0; // their length, names apart by line breaks
        std::int32_t languageSet = -1;
        platform::FaceFormat format = platform::FaceFormat::Other;
        bool collection = false, colour = false, monospaced = false, user = false;
    };
    using Bits = std::vector<std::uint64_t>;

    Bits evaluate(Step step) const;
    Bits nameBits(const Bits* within) const;
    Bits bitsWhere(const std::function<bool(const Face&, int)>& test) const;
    std::vector<bool> setsOf(const FindQuery& query) const;
    int tagNumber(const QByteArray& tag) const;
    bool hasTag(int face, int number, bool axis) const;
    std::vector<int> setCounts(const Bits& among) const;
    std::vector<TagCount> tagCounts(Step step, bool axes) const;
    QString languageSampleOf(const QString& tag) const;
    void cascade();

    std::vector<Face> faces_;
    std::vector<char16_t> pool_;
    std::shared_ptr<const platform::SurveyCoverage> coverage_;
    // Languages: every tag, which sets match it (as the language filter matches), its script.
    QStringList tags_;
    std::vector<std::vector<bool>> tagSets_;
    QStringList tagScripts_;
    QStringList tagNames_;
    QStringList scripts_; // sorted
    LayoutIndex layout_;
    QHash<QByteArray, int> tagNumbers_;
    bool layoutKnown_ = false;

    FindQuery query_;
    bool applied_ = false;
    std::array<Bits, kSteps> bits_;
    std::array<int, kSteps> left_{};
    std::vector<int> results_;
    mutable QHash<QString, QString> samples_; // language tag -> sample
};

} // namespace quillon::find
