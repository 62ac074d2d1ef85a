#include "find/FaceFinder.h"

#include "find/SearchText.h"
#include "find/WritingSystems.h"

#include <QSet>

#include <algorithm>
#include <bit>
#include <functional>

namespace quillon::find {

const QString FaceFinder::kDefaultSample = QStringLiteral("ABCDEFGabcdefg1234567890");

namespace {

/// How many of the sample's characters a face must have for the sample to stand, the rest left out.
bool keepsMost(int kept, int total) { return kept > 0 && 2 * kept >= total; }

} // namespace

LayoutIndex LayoutIndex::from(const std::vector<platform::LayoutTags>& tags)
{
    LayoutIndex out;
    QHash<QByteArray, int> numbers;
    const auto number = [&](const QByteArray& tag) {
        auto it = numbers.find(tag);
        if (it == numbers.end()) {
            if (out.tags.size() >= 0xffff) return -1; // far past any real set of fonts
            it = numbers.insert(tag, static_cast<int>(out.tags.size()));
            out.tags << tag;
        }
        return *it;
    };
    out.starts.reserve(tags.size() + 1);
    out.axisCounts.reserve(tags.size());
    for (const platform::LayoutTags& face : tags) {
        out.starts.push_back(static_cast<std::uint32_t>(out.numbers.size()));
        for (const QByteArray& tag : face.features)
            if (const int n = number(tag); n >= 0) out.numbers.push_back(static_cast<std::uint16_t>(n));
        int axes = 0;
        for (const QByteArray& tag : face.axes)
            if (const int n = number(tag); n >= 0 && axes < 255) {
                out.numbers.push_back(static_cast<std::uint16_t>(n));
                ++axes;
            }
        out.axisCounts.push_back(static_cast<std::uint8_t>(axes));
    }
    out.starts.push_back(static_cast<std::uint32_t>(out.numbers.size()));
    out.numbers.shrink_to_fit();
    return out;
}

FaceFinder::FaceFinder(const QStringList& listed, platform::Survey survey)
    : coverage_(std::move(survey.coverage))
{
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(listed.size()), survey.faces.size());
    faces_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        platform::SurveyedFace& in = survey.faces[i];
        Face& face = faces_[i];
        face.name = listed[static_cast<qsizetype>(i)];
        face.path = std::move(in.path);
        face.index = in.index;
        face.languageSet = in.languageSet;
        face.format = in.format;
        face.collection = in.collection;
        face.colour = in.colour;
        face.monospaced = in.monospaced;
        face.user = in.user;
        // Words may match across names ("noto bold": family and style), so the names are searched as one
        // text; a name another one holds whole adds nothing to it.
        QStringList folded{foldedForSearch(face.name)};
        for (const QString& name : in.names) folded << foldedForSearch(name);
        std::sort(folded.begin(), folded.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        QStringList kept;
        for (const QString& name : folded)
            if (!name.isEmpty() &&
                std::none_of(kept.begin(), kept.end(), [&](const QString& k) { return k.contains(name); }))
                kept << name;
        const QString text = kept.join(QLatin1Char('\n'));
        face.text = static_cast<std::uint32_t>(pool_.size());
        face.length = static_cast<std::uint32_t>(text.size());
        pool_.insert(pool_.end(), text.utf16(), text.utf16() + text.size());
    }
    pool_.shrink_to_fit();

    if (coverage_) {
        QSet<QString> all;
        for (int set = 0; set < coverage_->languageSetCount(); ++set)
            for (const QString& tag : coverage_->languages(set)) all.insert(tag);
        tags_ = QStringList(all.begin(), all.end());
        tags_.sort();
        QSet<QString> scripts;
        for (const QString& tag : std::as_const(tags_)) {
            tagSets_.push_back(coverage_->setsWithLanguage(tag));
            tagScripts_ << scriptOf(tag, coverage_->languageCharacters(tag));
            tagNames_ << languageName(tag);
            scripts.insert(tagScripts_.back());
        }
        scripts_ = QStringList(scripts.begin(), scripts.end());
        scripts_.sort(Qt::CaseInsensitive);
    }
    apply(FindQuery{}); // every face, until a query comes
}

FaceFinder::~FaceFinder() = default;

void FaceFinder::setLayout(LayoutIndex layout)
{
    if (layout.axisCounts.size() != faces_.size()) return; // made for another list
    layout_ = std::move(layout);
    tagNumbers_.clear();
    for (qsizetype i = 0; i < layout_.tags.size(); ++i)
        tagNumbers_.insert(layout_.tags[i], static_cast<int>(i));
    layoutKnown_ = true;
    if (!applied_) return;
    bits_[static_cast<std::size_t>(Step::Feature)] = evaluate(Step::Feature);
    bits_[static_cast<std::size_t>(Step::Variation)] = evaluate(Step::Variation);
    cascade();
}

QByteArrayList FaceFinder::features(int face) const
{
    QByteArrayList out;
    if (!layoutKnown_) return out;
    const std::size_t f = static_cast<std::size_t>(face);
    const std::uint32_t end = layout_.starts[f + 1] - layout_.axisCounts[f];
    for (std::uint32_t i = layout_.starts[f]; i < end; ++i) out << layout_.tags[layout_.numbers[i]];
    return out;
}

QByteArrayList FaceFinder::axes(int face) const
{
    QByteArrayList out;
    if (!layoutKnown_) return out;
    const std::size_t f = static_cast<std::size_t>(face);
    for (std::uint32_t i = layout_.starts[f + 1] - layout_.axisCounts[f]; i < layout_.starts[f + 1]; ++i)
        out << layout_.tags[layout_.numbers[i]];
    return out;
}

QStringList FaceFinder::languages(int face) const
{
    const int set = faces_[static_cast<std::size_t>(face)].languageSet;
    return coverage_ && set >= 0 ? coverage_->languages(set) : QStringList();
}

bool FaceFinder::hasCharacters(int face, const std::vector<char32_t>& characters) const
{
    return coverage_ ? coverage_->hasCharacters(face, characters) : characters.empty();
}

std::vector<char32_t> FaceFinder::someCharacters(int face, int count) const
{
    return coverage_ ? coverage_->someCharacters(face, count) : std::vector<char32_t>();
}

int FaceFinder::tagNumber(const QByteArray& tag) const { return tagNumbers_.value(tag, -1); }

bool FaceFinder::hasTag(int face, int number, bool axis) const
{
    const std::size_t f = static_cast<std::size_t>(face);
    const std::uint32_t axesAt = layout_.starts[f + 1] - layout_.axisCounts[f];
    const std::uint32_t from = axis ? axesAt : layout_.starts[f];
    const std::uint32_t to = axis ? layout_.starts[f + 1] : axesAt;
    for (std::uint32_t i = from; i < to; ++i)
        if (layout_.numbers[i] == number) return true;
    return false;
}

FaceFinder::Bits FaceFinder::bitsWhere(const std::function<bool(const Face&, int)>& test) const
{
    Bits bits((faces_.size() + 63) / 64, 0);
    for (std::size_t i = 0; i < faces_.size(); ++i)
        if (test(faces_[i], static_cast<int>(i))) bits[i / 64] |= std::uint64_t{1} << (i % 64);
    return bits;
}

FaceFinder::Bits FaceFinder::nameBits(const Bits* within) const
{
    const QStringList words = searchWords(query_.name);
    if (words.isEmpty()) return bitsWhere([](const Face&, int) { return true; });
    Bits bits((faces_.size() + 63) / 64, 0);
    for (std::size_t w = 0; w < bits.size(); ++w) {
        std::uint64_t candidates = within ? (*within)[w] : ~std::uint64_t{0};
        while (candidates) {
            const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            if (i >= faces_.size()) break;
            const Face& face = faces_[i];
            const QStringView text(pool_.data() + face.text, face.length);
            if (std::all_of(words.begin(), words.end(),
                            [&](const QString& word) { return text.contains(word); }))
                bits[w] |= std::uint64_t{1} << (i % 64);
        }
    }
    return bits;
}

std::vector<bool> FaceFinder::setsOf(const FindQuery& query) const
{
    const int count = coverage_ ? coverage_->languageSetCount() : 0;
    std::vector<bool> sets(static_cast<std::size_t>(count), false);
    if (!query.language.isEmpty()) {
        const qsizetype known = tags_.indexOf(query.language);
        return known >= 0  ? tagSets_[static_cast<std::size_t>(known)]
               : coverage_ ? coverage_->setsWithLanguage(query.language)
                           : sets;
    }
    // "Han" takes in its simplified and traditional writing, as a user asking for it means.
    const QString variants = query.script + QStringLiteral(" (");
    for (qsizetype t = 0; t < tags_.size(); ++t)
        if (tagScripts_[t] == query.script || tagScripts_[t].startsWith(variants))
            for (std::size_t s = 0; s < sets.size(); ++s)
                sets[s] = sets[s] || tagSets_[static_cast<std::size_t>(t)][s];
    return sets;
}

FaceFinder::Bits FaceFinder::evaluate(Step step) const
{
    const FindQuery& q = query_;
    const auto all = [](const Face&, int) { return true; };
    switch (step) {
    case Step::Name:
        return nameBits(nullptr);
    case Step::WritingSystem: {
        if (q.language.isEmpty() && q.script.isEmpty()) return bitsWhere(all);
        const std::vector<bool> sets = setsOf(q);
        return bitsWhere([&](const Face& f, int) {
            return f.languageSet >= 0 && static_cast<std::size_t>(f.languageSet) < sets.size() &&
                   sets[f.languageSet];
        });
    }
    case Step::Characters: {
        const std::vector<char32_t> wanted = requiredCharacters(q.text);
        if (wanted.empty()) return bitsWhere(all);
        return bitsWhere([&](const Face&, int i) { return hasCharacters(i, wanted); });
    }
    case Step::Feature: {
        if (q.feature.isEmpty()) return bitsWhere(all);
        const int number = layoutKnown_ ? tagNumber(q.feature) : -1;
        return bitsWhere([&](const Face&, int i) { return number >= 0 && hasTag(i, number, false); });
    }
    case Step::Variation: {
        if (!q.variable && q.axis.isEmpty()) return bitsWhere(all);
        if (!layoutKnown_) return bitsWhere([](const Face&, int) { return false; });
        if (q.axis.isEmpty())
            return bitsWhere(
                [&](const Face&, int i) { return layout_.axisCounts[static_cast<std::size_t>(i)] > 0; });
        const int number = tagNumber(q.axis);
        return bitsWhere([&](const Face&, int i) { return number >= 0 && hasTag(i, number, true); });
    }
    case Step::Colour:
        return bitsWhere([&](const Face& f, int) { return !q.colour || f.colour; });
    case Step::Monospaced:
        return bitsWhere([&](const Face& f, int) { return !q.monospaced || f.monospaced; });
    case Step::Format:
        return bitsWhere([&](const Face& f, int) {
            switch (q.format) {
            case FormatFilter::Any:
                return true;
            case FormatFilter::TrueType:
                return f.format == platform::FaceFormat::TrueType;
            case FormatFilter::OpenTypeCff:
                return f.format == platform::FaceFormat::Cff;
            case FormatFilter::Collection:
                return f.collection;
            case FormatFilter::Type1:
                return f.format == platform::FaceFormat::Type1;
            case FormatFilter::Bitmap:
                return f.format == platform::FaceFormat::Bitmap;
            }
            return false;
        });
    case Step::Origin:
        return bitsWhere([&](const Face& f, int) {
            return q.origin == OriginFilter::Anyone || (q.origin == OriginFilter::User) == f.user;
        });
    }
    return bitsWhere(all);
}

void FaceFinder::apply(const FindQuery& query)
{
    const FindQuery before = query_;
    query_ = query;
    const bool all = !applied_;
    applied_ = true;
    const auto redo = [&](Step step) { bits_[static_cast<std::size_t>(step)] = evaluate(step); };
    if (all || query.name != before.name) {
        // A search that only grew (each earlier word is part of a word now) finds a subset of what it found.
        const QStringList old = searchWords(before.name);
        const QStringList now = searchWords(query.name);
        const bool narrower =
            !all && !old.isEmpty() && std::all_of(old.begin(), old.end(), [&](const QString& w) {
                return std::any_of(now.begin(), now.end(), [&](const QString& n) { return n.contains(w); });
            });
        bits_[0] = narrower ? nameBits(&bits_[0]) : nameBits(nullptr);
    }
    if (all || query.language != before.language || query.script != before.script) redo(Step::WritingSystem);
    if (all || query.text != before.text) redo(Step::Characters);
    if (all || query.feature != before.feature) redo(Step::Feature);
    if (all || query.variable != before.variable || query.axis != before.axis) redo(Step::Variation);
    if (all || query.colour != before.colour) redo(Step::Colour);
    if (all || query.monospaced != before.monospaced) redo(Step::Monospaced);
    if (all || query.format != before.format) redo(Step::Format);
    if (all || query.origin != before.origin) redo(Step::Origin);
    cascade();
}

void FaceFinder::cascade()
{
    Bits passing((faces_.size() + 63) / 64, ~std::uint64_t{0});
    if (faces_.size() % 64) passing.back() = (std::uint64_t{1} << (faces_.size() % 64)) - 1;
    for (int s = 0; s < kSteps; ++s) {
        int left = 0;
        for (std::size_t w = 0; w < passing.size(); ++w) {
            passing[w] &= bits_[static_cast<std::size_t>(s)][w];
            left += std::popcount(passing[w]);
        }
        left_[static_cast<std::size_t>(s)] = left;
    }
    results_.clear();
    results_.reserve(static_cast<std::size_t>(left_.back()));
    for (std::size_t w = 0; w < passing.size(); ++w)
        for (std::uint64_t word = passing[w]; word; word &= word - 1)
            results_.push_back(static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(word))));
}

std::vector<int> FaceFinder::setCounts(const Bits& among) const
{
    std::vector<int> counts(static_cast<std::size_t>(coverage_ ? coverage_->languageSetCount() : 0), 0);
    for (std::size_t w = 0; w < among.size(); ++w)
        for (std::uint64_t word = among[w]; word; word &= word - 1) {
            const int set = faces_[w * 64 + static_cast<std::size_t>(std::countr_zero(word))].languageSet;
            if (set >= 0 && static_cast<std::size_t>(set) < counts.size())
                ++counts[static_cast<std::size_t>(set)];
        }
    return counts;
}

std::vector<LanguageCount> FaceFinder::languageCounts() const
{
    std::vector<LanguageCount> out;
    if (!applied_) return out;
    const std::vector<int> counts = setCounts(bits_[0]);
    for (qsizetype t = 0; t < tags_.size(); ++t) {
        int faces = 0;
        const std::vector<bool>& sets = tagSets_[static_cast<std::size_t>(t)];
        for (std::size_t s = 0; s < counts.size() && s < sets.size(); ++s)
            if (sets[s]) faces += counts[s];
        out.push_back({tags_[t], tagNames_[t], tagScripts_[t], faces});
    }
    std::sort(out.begin(), out.end(), [](const LanguageCount& a, const LanguageCount& b) {
        const int script = a.script.compare(b.script, Qt::CaseInsensitive);
        return script != 0 ? script < 0 : a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

std::vector<LanguageCount> FaceFinder::scriptCounts() const
{
    std::vector<LanguageCount> out;
    if (!applied_) return out;
    const std::vector<int> counts = setCounts(bits_[0]);
    for (const QString& script : scripts_) {
        FindQuery query;
        query.script = script;
        const std::vector<bool> sets = setsOf(query);
        int faces = 0;
        for (std::size_t s = 0; s < counts.size() && s < sets.size(); ++s)
            if (sets[s]) faces += counts[s];
        out.push_back({QString(), script, script, faces});
    }
    return out;
}

std::vector<TagCount> FaceFinder::tagCounts(Step step, bool axes) const
{
    std::vector<TagCount> out;
    if (!layoutKnown_ || !applied_) return out;
    Bits passing((faces_.size() + 63) / 64, ~std::uint64_t{0});
    for (int s = 0; s < static_cast<int>(step); ++s)
        for (std::size_t w = 0; w < passing.size(); ++w) passing[w] &= bits_[static_cast<std::size_t>(s)][w];
    std::vector<int> counts(static_cast<std::size_t>(layout_.tags.size()), 0);
    std::vector<bool> seen(counts.size(), false);
    for (std::size_t f = 0; f < faces_.size(); ++f) {
        const std::uint32_t axesAt = layout_.starts[f + 1] - layout_.axisCounts[f];
        const std::uint32_t from = axes ? axesAt : layout_.starts[f];
        const std::uint32_t to = axes ? layout_.starts[f + 1] : axesAt;
        const bool counted = (passing[f / 64] >> (f % 64)) & 1;
        for (std::uint32_t i = from; i < to; ++i) {
            seen[layout_.numbers[i]] = true;
            if (counted) ++counts[layout_.numbers[i]];
        }
    }
    for (std::size_t t = 0; t < counts.size(); ++t)
        if (seen[t]) out.push_back({layout_.tags[static_cast<qsizetype>(t)], counts[t]});
    std::sort(out.begin(), out.end(), [](const TagCount& a, const TagCount& b) { return a.tag < b.tag; });
    return out;
}

std::vector<TagCount> FaceFinder::featureCounts() const { return tagCounts(Step::Feature, false); }
std::vector<TagCount> FaceFinder::axisCounts() const { return tagCounts(Step::Variation, true); }

QString FaceFinder::scriptOfLanguage(const QString& tag) const
{
    const qsizetype known = tags_.indexOf(tag);
    if (known >= 0) return tagScripts_[known];
    return coverage_ ? scriptOf(tag, coverage_->languageCharacters(tag)) : QString();
}

QString FaceFinder::languageSampleOf(const QString& tag) const
{
    auto it = samples_.find(tag);
    if (it == samples_.end())
        it = samples_.insert(
            tag, languageSample(tag, scriptOfLanguage(tag),
                                coverage_ ? coverage_->languageCharacters(tag) : std::vector<char32_t>()));
    return *it;
}

QString FaceFinder::querySample() const
{
    if (!query_.text.trimmed().isEmpty()) {
        // A character or two alone says little of a face: the default letters follow them.
        const QString text = query_.text.simplified().left(40);
        return text.size() < 8 ? text + QStringLiteral("  ") + kDefaultSample : text;
    }
    if (!query_.language.isEmpty()) return languageSampleOf(query_.language);
    if (query_.script.isEmpty()) return {};
    const QString sample = scriptSample(query_.script);
    if (!sample.isEmpty()) return sample;
    for (qsizetype t = 0; t < tags_.size(); ++t)
        if (tagScripts_[t] == query_.script) return languageSampleOf(tags_[t]);
    return {};
}

QString FaceFinder::sampleFor(int face, const QString& preferred) const
{
    const auto kept = [&](const QString& sample) -> QString {
        const QList<uint> characters = sample.toUcs4();
        QString out;
        int have = 0;
        for (uint c : characters)
            if (hasCharacters(face, {static_cast<char32_t>(c)})) {
                ++have;
                const char32_t ch = static_cast<char32_t>(c);
                out += QString::fromUcs4(&ch, 1);
            }
        return keepsMost(have, static_cast<int>(characters.size())) ? out : QString();
    };
    for (const QString& sample : {preferred, kDefaultSample})
        if (QString text = sample.isEmpty() ? QString() : kept(sample); !text.isEmpty()) return text;
    for (const QString& tag : languages(face))
        if (QString text = kept(languageSampleOf(tag)); !text.isEmpty()) return text;
    const std::vector<char32_t> some = someCharacters(face, 14);
    return QString::fromUcs4(some.data(), static_cast<qsizetype>(some.size()));
}

std::size_t FaceFinder::memoryBytes() const
{
    std::size_t bytes = faces_.capacity() * sizeof(Face) + pool_.capacity() * sizeof(char16_t);
    for (const Face& face : faces_)
        bytes += static_cast<std::size_t>(face.name.capacity() + face.path.capacity()) * sizeof(QChar) + 32;
    bytes += layout_.starts.capacity() * 4 + layout_.axisCounts.capacity() + layout_.numbers.capacity() * 2 +
             static_cast<std::size_t>(layout_.tags.size()) * 40;
    for (const Bits& bits : bits_) bytes += bits.capacity() * 8;
    for (const std::vector<bool>& sets : tagSets_) bytes += sets.capacity() / 8 + 32;
    bytes += results_.capacity() * sizeof(int);
    return bytes;
}

} // namespace quillon::find
