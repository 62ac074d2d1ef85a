#include "display/FontDetails.h"

#include "fontfile/CFontPreview.h"
#include "platform/Log.h"
#include "platform/ReadableFile.h"

namespace quillon {

namespace {

struct FlagLine {
    std::uint32_t bit;
    const char* text;
};

// The order the lines appear in, which is not the order of the bits.
constexpr FlagLine kLanguageLines[] = {
    {platform::GCP_DBCS, "Double Byte Character Set"},
    {platform::GCP_DIACRITIC, "Contains diacritic characters"},
    {platform::FLI_GLYPHS, "Contains non-displaying glyphs"},
    {platform::GCP_GLYPHSHAPE, "Contains special glyph shapes"},
    {platform::GCP_KASHIDA, "Supports Kashida glyphs"},
    {platform::GCP_USEKERNING, "Contains kerning tables"},
    {platform::GCP_REORDER, "Characters need to be reordered"},
};

const char* const kFamilyLines[] = {nullptr,
                                    "Is a Roman font",
                                    "Is a Swiss font",
                                    "Is a modern font",
                                    "Is a script font",
                                    "Is a decorative font"};

/// The existence test of the fonts folder: only a plain file counts, not a hidden one.
bool fontFileExists(const QString& path)
{
    if (platform::pathKind(path) != platform::PathKind::File) return false;
    return !path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1Char('.'));
}

} // namespace

FontDetails::FontDetails(platform::FontSystem& fonts, platform::FontFileLookup& files)
    : fonts_(fonts), files_(files)
{
}

FontDetails::~FontDetails() { releaseDetailFont(); }

void FontDetails::releaseDetailFont()
{
    if (detailFont_ != 0) fonts_.DeleteObject(detailFont_);
    detailFont_ = 0;
}

QStringList FontDetails::traitLines(std::uint8_t p, std::uint32_t flags)
{
    QStringList lines;
    if (p & platform::TMPF_TRUETYPE) lines << QStringLiteral("Is a TrueType font");
    if (p & platform::TMPF_DEVICE) lines << QStringLiteral("Is a Device font");
    // The bit's name says fixed, but Windows sets it for a variable-pitch font.
    lines << (p & platform::TMPF_FIXED_PITCH ? QStringLiteral("Is a variable pitch font")
                                             : QStringLiteral("Is a fixed pitch font"));
    if (p & platform::TMPF_VECTOR) lines << QStringLiteral("Is a vector font");
    const unsigned family = (p >> 4) & 0x0F;
    if (family < std::size(kFamilyLines) && kFamilyLines[family])
        lines << QString::fromLatin1(kFamilyLines[family]);
    if (flags == 0) {
        lines << QStringLiteral("Is a Standard Latin Font");
    } else {
        for (const FlagLine& line : kLanguageLines)
            if (flags & line.bit) lines << QString::fromLatin1(line.text);
    }
    return lines;
}

QString FontDetails::versionLine(const QString& versionString)
{
    if (versionString.isEmpty()) return {};
    if (versionString.left(8).toLower() == QStringLiteral("version ")) return versionString;
    return QStringLiteral("Version ") + versionString;
}

QString FontDetails::copyrightLabel(const QString& notice)
{
    const qsizetype stop = notice.indexOf(QLatin1Char('.'));
    return stop >= 0 ? notice.left(stop) : notice;
}

FontDetailsText FontDetails::describe(const QString& faceName, const FontCatalogue& catalogue)
{
    FontDetailsText out;
    releaseDetailFont();
    detailFont_ = fonts_.CreateFontIndirect(platform::LogFont{faceName});
    if (detailFont_ == 0) return out;

    // A failed language query leaves its value zero, as an unfilled structure would. Failed metrics mean
    // the face's file is gone or broken (deleted or cut short while listed): the traits would all be
    // wrong ("a fixed pitch font"), so the details say the file cannot be read instead.
    const std::optional<platform::TextMetric> metrics = fonts_.GetTextMetrics(detailFont_);
    const std::uint32_t flags = fonts_.GetFontLanguageInfo(detailFont_);
    out.lines = metrics ? traitLines(metrics->tmPitchAndFamily, flags) : QStringList{kUnreadableText};

    out.copyrightSet = true;
    const int record = catalogue.firstRecordOfFace(faceName);
    if (record < 0) return out;
    const QString path = files_.fontFilePath(catalogue.recordFile(record));
    if (path.isEmpty() || !fontFileExists(path)) {
        qCDebug(log::fonts) << "the font file" << catalogue.recordFile(record) << "of" << faceName
                            << "is not found: no version or copyright shown";
        return out;
    }

    CFontPreview reader(fonts_);
    reader.setFontFile(path);
    if (!reader.ValidTrueTypeFile())
        qCDebug(log::fonts) << "the font file" << path << "of" << faceName
                            << "was refused by the reader: not a TrueType file, or cut short";
    const QString version = versionLine(reader.VersionString());
    if (!version.isEmpty()) out.lines << version;
    out.lines << (reader.Installed() ? QStringLiteral("Installed: True")
                                     : QStringLiteral("Installed: False"));
    out.copyright = copyrightLabel(reader.Copyright());
    return out;
}

} // namespace quillon
