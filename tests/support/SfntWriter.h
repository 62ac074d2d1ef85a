#pragma once
// Builds sfnt font files with exactly the tables a test asks for, in the directory order it asks for, so
// tests can pin the reader on name records, encodings, magic numbers and broken layouts without checked-in
// binaries. `minimalFont` gives a font FreeType and fontconfig accept (two empty glyphs, printable ASCII
// mapped), for tests that hand a file to the font system.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace quillon::test {

struct SfntName {
    std::uint16_t platformID = 3;
    std::uint16_t encodingID = 1;
    std::uint16_t languageID = 0x0409;
    std::uint16_t nameID = 0;
    QByteArray bytes; // stored as is
};

/// Fields of an "OS/2" table (version 1, 86 bytes, unless `extraBytes` lengthens it).
struct Os2Fields {
    std::uint16_t fsSelection = 0x40;
    std::array<std::uint8_t, 10> panose{};
    std::uint32_t codePageRange1 = 0x1; // Latin 1
    std::uint16_t weightClass = 400;
    std::uint16_t widthClass = 5; // 5 normal, 3 condensed
    /// The characters the font has (minimalFont maps them all to one glyph): printable ASCII by default.
    std::uint16_t firstChar = 0x20;
    std::uint16_t lastChar = 0x7E;
};

class SfntWriter {
public:
    struct Table {
        QByteArray tag; // four bytes
        QByteArray data;
        /// When set, the directory gives this offset instead of where the data lands.
        std::int64_t offsetOverride = -1;
    };

    SfntWriter& add(const char* tag, const QByteArray& data);
    /// Replaces the data of the table with the tag (the first, when listed twice), or adds it.
    SfntWriter& set(const char* tag, const QByteArray& data);
    SfntWriter& addAt(const char* tag, std::uint32_t fakeOffset);
    /// The sfnt version of the offset table; 0x00010000 by default.
    SfntWriter& version(std::uint32_t v);

    /// The file: offset table, directory in the order tables were added, then the tables, each padded to
    /// four bytes. `base` is added to every offset (for a font placed inside a collection at `base`).
    QByteArray build(std::uint32_t base = 0) const;

    static QByteArray head(std::uint32_t magic = 0x5F0F3CF5, std::uint16_t macStyle = 0);
    static QByteArray name(const std::vector<SfntName>& records);
    static QByteArray os2(const Os2Fields& fields = {});
    /// A 'kern' table, Microsoft version 0, one format-0 subtable with `pairs` pairs.
    static QByteArray kern(std::uint16_t pairs);

    /// An "fvar" with the axes wght 100..400..900 and slnt -10..0..0 and one instance for each {subfamily
    /// name ID, wght, slnt}; the header claims `claimed` instances (-1: as many as given).
    static QByteArray fvar(const std::vector<std::array<int, 3>>& instances, int claimed = -1);

    /// A "GSUB" or "GPOS" table whose feature list names `features` (four characters each), in that order,
    /// each without lookups; no scripts, no lookups.
    static QByteArray layout(const std::vector<QByteArray>& features);

    /// Big-endian UTF-16 of a text (platform 0 and 3 names).
    static QByteArray utf16(const QString& text);
    /// Name records for family (1), subfamily (2), unique id (3), full name (4) and version (5), on the
    /// Microsoft platform in US English; a record is left out when its text is empty.
    static std::vector<SfntName> names(const QString& family, const QString& subfamily, const QString& full,
                                       const QString& version = QStringLiteral("Version 1.000"));

    /// A small TrueType font FreeType loads; `os2Fields` also decides PANOSE and code pages, `kernPairs` adds
    /// a 'kern' table when non-zero, `cff` adds an empty 'CFF ' table beside the outlines.
    static QByteArray minimalFont(const std::vector<SfntName>& names, const Os2Fields& os2Fields = {},
                                  std::uint16_t kernPairs = 0, bool cff = false, std::uint16_t advance = 500,
                                  bool fixedPitch = false);

    /// The tables of minimalFont, for a test to add more before building.
    static SfntWriter minimalFontTables(const std::vector<SfntName>& names, const Os2Fields& os2Fields = {},
                                        std::uint16_t kernPairs = 0, bool cff = false,
                                        std::uint16_t advance = 500, bool fixedPitch = false);

    /// A 'ttcf' collection of the given fonts (each built by a writer); offsets are laid out for them.
    static QByteArray collection(const std::vector<SfntWriter>& fonts);

    /// A Type 1 font (PFA: clear text, then the eexec-encrypted private part in hex) of the given family,
    /// full name and weight, with a .notdef and a space glyph; FreeType and fontconfig read it as Type 1.
    static QByteArray type1Font(const QString& family, const QString& fullName, const QString& weight);

    static bool writeFile(const QString& path, const QByteArray& data);

private:
    std::uint32_t version_ = 0x00010000;
    std::vector<Table> tables_;
};

} // namespace quillon::test
