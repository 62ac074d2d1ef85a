#include "opentype/TagNames.h"

#include <hb-ot.h>
#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

namespace quillon::opentype {

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

QString icuText(const UChar* text, int32_t length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

} // namespace

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

bool takesAlternateNumber(const QByteArray& tag)
{
    int n = 0;
    return tag == "aalt" || tag == "salt" || (tag.startsWith("cv") && twoDigits(tag, n));
}

QString scriptName(const QByteArray& tag)
{
    if (tag == "DFLT") return QStringLiteral("Default");
    // A tag is four printable ASCII characters; HarfBuzz's script type holds no other.
    if (tag.size() != 4 || !std::all_of(tag.begin(), tag.end(), [](char c) { return c >= 0x20 && c < 0x7f; }))
        return {};
    // HarfBuzz knows the shaping tags ("dev2", "mym2") as well as the older ones; its script is the ISO
    // 15924 code that ICU names.
    const hb_script_t script = hb_ot_tag_to_script(HB_TAG(tag[0], tag[1], tag[2], tag[3]));
    char iso[5] = {};
    hb_tag_to_string(hb_script_to_iso15924_tag(script), iso);
    const int code = u_getPropertyValueEnum(UCHAR_SCRIPT, iso);
    if (code < 0 || code == USCRIPT_UNKNOWN) return {};
    return QString::fromLatin1(uscript_getName(static_cast<UScriptCode>(code))).replace(u'_', u' ');
}

QString languageName(const QByteArray& tag)
{
    if (tag.size() != 4 && tag.size() != 3) return {};
    const QByteArray padded = tag.leftJustified(4, ' ');
    const hb_language_t language = hb_ot_tag_to_language(HB_TAG(padded[0], padded[1], padded[2], padded[3]));
    const char* bcp47 = language ? hb_language_to_string(language) : nullptr;
    // A tag no language code stands for comes back as HarfBuzz's private form ("x-hbot-..."), which names
    // nothing a reader would know.
    if (!bcp47 || std::strncmp(bcp47, "x-", 2) == 0 || std::strstr(bcp47, "-x-")) return {};
    UChar name[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayName(bcp47, "en", name, 128, &status);
    if (U_FAILURE(status) || length <= 0 || length > 128) return {};
    return icuText(name, length);
}

} // namespace quillon::opentype
