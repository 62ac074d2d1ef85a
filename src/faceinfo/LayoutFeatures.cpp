#include "faceinfo/LayoutFeatures.h"

#include "sfnt/Cursor.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

namespace quillon::faceinfo {

namespace {

const std::map<QByteArray, const char*>& registry()
{
    static const std::map<QByteArray, const char*> kNames = {
        {"aalt", "Access All Alternates"},
        {"abvf", "Above-base Forms"},
        {"abvm", "Above-base Mark Positioning"},
        {"abvs", "Above-base Substitutions"},
        {"afrc", "Alternative Fractions"},
        {"akhn", "Akhand"},
        {"blwf", "Below-base Forms"},
        {"blwm", "Below-base Mark Positioning"},
        {"blws", "Below-base Substitutions"},
        {"c2pc", "Petite Capitals From Capitals"},
        {"c2sc", "Small Capitals From Capitals"},
        {"calt", "Contextual Alternates"},
        {"case", "Case-Sensitive Forms"},
        {"ccmp", "Glyph Composition / Decomposition"},
        {"cfar", "Conjunct Form After Ro"},
        {"chws", "Contextual Half-width Spacing"},
        {"cjct", "Conjunct Forms"},
        {"clig", "Contextual Ligatures"},
        {"cpct", "Centered CJK Punctuation"},
        {"cpsp", "Capital Spacing"},
        {"cswh", "Contextual Swash"},
        {"curs", "Cursive Positioning"},
        {"dist", "Distances"},
        {"dlig", "Discretionary Ligatures"},
        {"dnom", "Denominators"},
        {"dtls", "Dotless Forms"},
        {"expt", "Expert Forms"},
        {"falt", "Final Glyph on Line Alternates"},
        {"fin2", "Terminal Forms #2"},
        {"fin3", "Terminal Forms #3"},
        {"fina", "Terminal Forms"},
        {"flac", "Flattened Accent Forms"},
        {"frac", "Fractions"},
        {"fwid", "Full Widths"},
        {"half", "Half Forms"},
        {"haln", "Halant Forms"},
        {"halt", "Alternate Half Widths"},
        {"hist", "Historical Forms"},
        {"hkna", "Horizontal Kana Alternates"},
        {"hlig", "Historical Ligatures"},
        {"hngl", "Hangul"},
        {"hojo", "Hojo Kanji Forms"},
        {"hwid", "Half Widths"},
        {"init", "Initial Forms"},
        {"isol", "Isolated Forms"},
        {"ital", "Italics"},
        {"jalt", "Justification Alternates"},
        {"jp04", "JIS2004 Forms"},
        {"jp78", "JIS78 Forms"},
        {"jp83", "JIS83 Forms"},
        {"jp90", "JIS90 Forms"},
        {"kern", "Kerning"},
        {"lfbd", "Left Bounds"},
        {"liga", "Standard Ligatures"},
        {"ljmo", "Leading Jamo Forms"},
        {"lnum", "Lining Figures"},
        {"locl", "Localized Forms"},
        {"ltra", "Left-to-right Alternates"},
        {"ltrm", "Left-to-right Mirrored Forms"},
        {"mark", "Mark Positioning"},
        {"med2", "Medial Forms #2"},
        {"medi", "Medial Forms"},
        {"mgrk", "Mathematical Greek"},
        {"mkmk", "Mark to Mark Positioning"},
        {"mset", "Mark Positioning via Substitution"},
        {"nalt", "Alternate Annotation Forms"},
        {"nlck", "NLC Kanji Forms"},
        {"nukt", "Nukta Forms"},
        {"numr", "Numerators"},
        {"onum", "Oldstyle Figures"},
        {"opbd", "Optical Bounds"},
        {"ordn", "Ordinals"},
        {"ornm", "Ornaments"},
        {"palt", "Proportional Alternate Widths"},
        {"pcap", "Petite Capitals"},
        {"pkna", "Proportional Kana"},
        {"pnum", "Proportional Figures"},
        {"pref", "Pre-base Forms"},
        {"pres", "Pre-base Substitutions"},
        {"pstf", "Post-base Forms"},
        {"psts", "Post-base Substitutions"},
        {"pwid", "Proportional Widths"},
        {"qwid", "Quarter Widths"},
        {"rand", "Randomize"},
        {"rclt", "Required Contextual Alternates"},
        {"rkrf", "Rakar Forms"},
        {"rlig", "Required Ligatures"},
        {"rphf", "Reph Form"},
        {"rtbd", "Right Bounds"},
        {"rtla", "Right-to-left Alternates"},
        {"rtlm", "Right-to-left Mirrored Forms"},
        {"ruby", "Ruby Notation Forms"},
        {"rvrn", "Required Variation Alternates"},
        {"salt", "Stylistic Alternates"},
        {"sinf", "Scientific Inferiors"},
        {"size", "Optical Size"},
        {"smcp", "Small Capitals"},
        {"smpl", "Simplified Forms"},
        {"ssty", "Math Script-style Alternates"},
        {"stch", "Stretching Glyph Decomposition"},
        {"subs", "Subscript"},
        {"sups", "Superscript"},
        {"swsh", "Swash"},
        {"titl", "Titling"},
        {"tjmo", "Trailing Jamo Forms"},
        {"tnam", "Traditional Name Forms"},
        {"tnum", "Tabular Figures"},
        {"trad", "Traditional Forms"},
        {"twid", "Third Widths"},
        {"unic", "Unicase"},
        {"valt", "Alternate Vertical Metrics"},
        {"vatu", "Vattu Variants"},
        {"vchw", "Vertical Contextual Half-width Spacing"},
        {"vert", "Vertical Alternates"},
        {"vhal", "Alternate Vertical Half Metrics"},
        {"vjmo", "Vowel Jamo Forms"},
        {"vkna", "Vertical Kana Alternates"},
        {"vkrn", "Vertical Kerning"},
        {"vpal", "Proportional Alternate Vertical Metrics"},
        {"vrt2", "Vertical Alternates and Rotation"},
        {"vrtr", "Vertical Alternates for Rotation"},
        {"zero", "Slashed Zero"}};
    return kNames;
}

bool twoDigits(const QByteArray& tag, int& number)
{
    if (tag.size() != 4 || !std::isdigit(static_cast<unsigned char>(tag[2])) ||
        !std::isdigit(static_cast<unsigned char>(tag[3])))
        return false;
    number = (tag[2] - '0') * 10 + (tag[3] - '0');
    return true;
}

} // namespace

QByteArrayList featureTags(const QByteArray& table)
{
    QByteArrayList out;
    const sfnt::Cursor c(reinterpret_cast<const std::uint8_t*>(table.constData()),
                         static_cast<std::size_t>(table.size()));
    // Header: major and minor version, script list offset, feature list offset (from the table's start).
    if (c.size() < 10) return out;
    const std::uint64_t list = c.u16(6);
    if (list == 0 || !c.holds(list, 2)) return out;
    const std::uint64_t count = c.u16(list);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t record = list + 2 + i * 6; // tag, then the feature's offset
        if (!c.holds(record, 6)) break;
        const std::span<const std::uint8_t> tag = c.bytes(record, 4);
        const QByteArray text(reinterpret_cast<const char*>(tag.data()), 4);
        if (!out.contains(text)) out << text;
    }
    return out;
}

QString featureName(const QByteArray& tag)
{
    const auto& names = registry();
    if (auto it = names.find(tag); it != names.end()) return QString::fromLatin1(it->second);
    int n = 0;
    if (tag.startsWith("ss") && twoDigits(tag, n) && n >= 1 && n <= 20)
        return QStringLiteral("Stylistic Set %1").arg(n);
    if (tag.startsWith("cv") && twoDigits(tag, n) && n >= 1)
        return QStringLiteral("Character Variant %1").arg(n);
    return {};
}

std::vector<Feature> features(const QByteArray& gsub, const QByteArray& gpos)
{
    std::map<QByteArray, Feature> byTag;
    for (const QByteArray& tag : featureTags(gsub)) byTag[tag].substitution = true;
    for (const QByteArray& tag : featureTags(gpos)) byTag[tag].positioning = true;
    std::vector<Feature> out;
    out.reserve(byTag.size());
    for (auto& [tag, feature] : byTag) {
        feature.tag = tag;
        feature.name = featureName(tag);
        out.push_back(feature);
    }
    return out;
}

} // namespace quillon::faceinfo
