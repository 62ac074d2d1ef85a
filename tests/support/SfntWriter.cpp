#include "support/SfntWriter.h"

#include <QFile>

namespace quillon::test {

namespace {

void put16(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>((v >> 8) & 0xFF));
    out.append(static_cast<char>(v & 0xFF));
}

void put32(QByteArray& out, std::uint32_t v)
{
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

void pad4(QByteArray& out)
{
    while (out.size() % 4 != 0) out.append('\0');
}

QByteArray hhea(std::uint16_t advance, std::uint16_t metrics)
{
    QByteArray t;
    put32(t, 0x00010000);
    put16(t, 800);           // ascender
    put16(t, 0x10000 - 200); // descender
    put16(t, 0);             // line gap
    put16(t, advance);       // advanceWidthMax
    put16(t, 0);             // min left side bearing
    put16(t, 0);             // min right side bearing
    put16(t, advance);       // x max extent
    put16(t, 1);             // caret slope rise
    put16(t, 0);             // caret slope run
    put16(t, 0);             // caret offset
    for (int i = 0; i < 4; ++i) put16(t, 0);
    put16(t, 0); // metric data format
    put16(t, metrics);
    return t;
}

QByteArray maxp(std::uint16_t glyphs)
{
    QByteArray t;
    put32(t, 0x00010000);
    put16(t, glyphs);
    const std::uint16_t rest[13] = {0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::uint16_t v : rest) put16(t, v);
    return t;
}

QByteArray cmapRangeToGlyph1(std::uint16_t first, std::uint16_t last)
{
    QByteArray sub;
    const std::uint16_t segments = 2;
    put16(sub, 4);
    put16(sub, 16 + 8 * segments);
    put16(sub, 0);
    put16(sub, segments * 2);
    put16(sub, 4);
    put16(sub, 1);
    put16(sub, 0);
    put16(sub, last), put16(sub, 0xFFFF); // end codes
    put16(sub, 0);
    put16(sub, first), put16(sub, 0xFFFF);           // start codes
    put16(sub, (1 - first) & 0xFFFF), put16(sub, 1); // deltas
    put16(sub, 0), put16(sub, 0);                    // range offsets
    QByteArray t;
    put16(t, 0);
    put16(t, 1);
    put16(t, 3), put16(t, 1), put32(t, 12);
    return t + sub;
}

QByteArray post(bool fixedPitch)
{
    QByteArray t;
    put32(t, 0x00030000);
    put32(t, 0);
    put16(t, 0x10000 - 100);
    put16(t, 50);
    put32(t, fixedPitch ? 1 : 0);
    for (int i = 0; i < 4; ++i) put32(t, 0);
    return t;
}

} // namespace

SfntWriter& SfntWriter::add(const char* tag, const QByteArray& data)
{
    tables_.push_back(Table{QByteArray(tag, 4), data, -1});
    return *this;
}

SfntWriter& SfntWriter::set(const char* tag, const QByteArray& data)
{
    for (Table& t : tables_)
        if (t.tag == QByteArray(tag, 4)) {
            t.data = data;
            return *this;
        }
    return add(tag, data);
}

SfntWriter& SfntWriter::addAt(const char* tag, std::uint32_t fakeOffset)
{
    tables_.push_back(Table{QByteArray(tag, 4), QByteArray(), fakeOffset});
    return *this;
}

SfntWriter& SfntWriter::version(std::uint32_t v)
{
    version_ = v;
    return *this;
}

QByteArray SfntWriter::build(std::uint32_t base) const
{
    QByteArray out;
    const auto count = static_cast<std::uint16_t>(tables_.size());
    put32(out, version_);
    put16(out, count);
    std::uint16_t power = 1, selector = 0;
    while (power * 2 <= count) power *= 2, ++selector;
    put16(out, count ? power * 16 : 0);
    put16(out, selector);
    put16(out, count * 16 - (count ? power * 16 : 0));
    std::uint32_t at = 12 + 16u * count;
    QByteArray body;
    for (const Table& table : tables_) {
        out.append(table.tag);
        put32(out, 0);
        if (table.offsetOverride >= 0) {
            put32(out, static_cast<std::uint32_t>(table.offsetOverride));
        } else {
            put32(out, base + at + static_cast<std::uint32_t>(body.size()));
            body.append(table.data);
            pad4(body);
        }
        put32(out, static_cast<std::uint32_t>(table.data.size()));
    }
    return out + body;
}

QByteArray SfntWriter::head(std::uint32_t magic, std::uint16_t macStyle)
{
    QByteArray t;
    put32(t, 0x00010000);
    put32(t, 0x00010000);
    put32(t, 0);
    put32(t, magic);
    put16(t, 0x000B);
    put16(t, 1000);
    for (int i = 0; i < 4; ++i) put32(t, 0); // created, modified
    put16(t, 0), put16(t, 0x10000 - 200), put16(t, 500), put16(t, 800);
    put16(t, macStyle);
    put16(t, 8);
    put16(t, 2);
    put16(t, 0); // short loca
    put16(t, 0);
    return t;
}

QByteArray SfntWriter::name(const std::vector<SfntName>& records)
{
    QByteArray t, strings;
    put16(t, 0);
    put16(t, static_cast<std::uint16_t>(records.size()));
    put16(t, static_cast<std::uint16_t>(6 + 12 * records.size()));
    for (const SfntName& r : records) {
        put16(t, r.platformID);
        put16(t, r.encodingID);
        put16(t, r.languageID);
        put16(t, r.nameID);
        put16(t, static_cast<std::uint16_t>(r.bytes.size()));
        put16(t, static_cast<std::uint16_t>(strings.size()));
        strings.append(r.bytes);
    }
    return t + strings;
}

QByteArray SfntWriter::os2(const Os2Fields& f)
{
    QByteArray t;
    put16(t, 1);
    put16(t, 500);
    put16(t, f.weightClass);
    put16(t, f.widthClass);
    put16(t, 0);
    for (int i = 0; i < 10; ++i) put16(t, 0);
    put16(t, 0);
    for (std::uint8_t b : f.panose) t.append(static_cast<char>(b));
    for (int i = 0; i < 4; ++i) put32(t, i == 0 ? 1 : 0); // Basic Latin
    t.append("TEST", 4);
    put16(t, f.fsSelection);
    put16(t, f.firstChar), put16(t, f.lastChar);
    put16(t, 800), put16(t, 0x10000 - 200), put16(t, 0);
    put16(t, 800), put16(t, 200);
    put32(t, f.codePageRange1);
    put32(t, 0);
    return t;
}

QByteArray SfntWriter::kern(std::uint16_t pairs)
{
    QByteArray t;
    put16(t, 0);
    put16(t, 1);
    put16(t, 0);
    put16(t, static_cast<std::uint16_t>(6 + 8 + 6 * pairs));
    put16(t, 0x0001); // horizontal, format 0
    put16(t, pairs);
    put16(t, 6), put16(t, 0), put16(t, 0);
    for (std::uint16_t i = 0; i < pairs; ++i) put16(t, 1), put16(t, 1), put16(t, 0x10000 - 10);
    return t;
}

QByteArray SfntWriter::utf16(const QString& text)
{
    QByteArray out;
    for (QChar c : text) put16(out, c.unicode());
    return out;
}

std::vector<SfntName> SfntWriter::names(const QString& family, const QString& subfamily, const QString& full,
                                        const QString& version)
{
    std::vector<SfntName> out;
    const QString texts[] = {family, subfamily, full + QStringLiteral(";unique"), full, version};
    const std::uint16_t ids[] = {1, 2, 3, 4, 5};
    for (int i = 0; i < 5; ++i)
        if (!texts[i].isEmpty()) out.push_back(SfntName{3, 1, 0x0409, ids[i], utf16(texts[i])});
    return out;
}

QByteArray SfntWriter::minimalFont(const std::vector<SfntName>& names, const Os2Fields& os2Fields,
                                   std::uint16_t kernPairs, bool cff, std::uint16_t advance, bool fixedPitch)
{
    return minimalFontTables(names, os2Fields, kernPairs, cff, advance, fixedPitch).build();
}

SfntWriter SfntWriter::minimalFontTables(const std::vector<SfntName>& names, const Os2Fields& os2Fields,
                                         std::uint16_t kernPairs, bool cff, std::uint16_t advance,
                                         bool fixedPitch)
{
    SfntWriter w;
    QByteArray hmtx;
    put16(hmtx, advance), put16(hmtx, 0);
    put16(hmtx, fixedPitch ? advance : advance / 2), put16(hmtx, 0);
    QByteArray loca;
    put16(loca, 0), put16(loca, 0), put16(loca, 0);
    if (cff) w.add("CFF ", QByteArray(8, '\0'));
    w.add("OS/2", os2(os2Fields));
    w.add("cmap", cmapRangeToGlyph1(os2Fields.firstChar, os2Fields.lastChar));
    w.add("glyf", QByteArray());
    w.add("head", head());
    w.add("hhea", hhea(advance, 2));
    w.add("hmtx", hmtx);
    if (kernPairs) w.add("kern", kern(kernPairs));
    w.add("loca", loca);
    w.add("maxp", maxp(2));
    w.add("name", name(names));
    w.add("post", post(fixedPitch));
    return w;
}

QByteArray SfntWriter::fvar(const std::vector<std::array<int, 3>>& instances, int claimed)
{
    QByteArray t;
    put16(t, 1), put16(t, 0), put16(t, 16), put16(t, 2);
    put16(t, 2), put16(t, 20);
    put16(t, static_cast<std::uint16_t>(claimed < 0 ? instances.size() : static_cast<std::size_t>(claimed)));
    put16(t, 4 + 4 * 2);
    const auto fixed = [&t](int v) { put32(t, static_cast<std::uint32_t>(v * 65536)); };
    t.append("wght", 4), fixed(100), fixed(400), fixed(900), put16(t, 0), put16(t, 256);
    t.append("slnt", 4), fixed(-10), fixed(0), fixed(0), put16(t, 0), put16(t, 256);
    for (const auto& i : instances)
        put16(t, static_cast<std::uint16_t>(i[0])), put16(t, 0), fixed(i[1]), fixed(i[2]);
    return t;
}

QByteArray SfntWriter::layout(const std::vector<QByteArray>& features)
{
    // Header (version 1.0, then the offsets of the script, feature and lookup lists), the empty script list,
    // the feature list with a record per tag, each feature with no parameters and no lookups, the empty
    // lookup list.
    const auto count = static_cast<std::uint16_t>(features.size());
    const std::uint16_t featureList = 12;
    const std::uint16_t lookupList = static_cast<std::uint16_t>(featureList + 2 + 6 * count + 4 * count);
    QByteArray t;
    put32(t, 0x00010000), put16(t, 10), put16(t, featureList), put16(t, lookupList);
    put16(t, 0); // no scripts
    put16(t, count);
    for (std::uint16_t i = 0; i < count; ++i) {
        t.append(features[i].leftJustified(4, ' ', true));
        put16(t, static_cast<std::uint16_t>(2 + 6 * count + 4 * i));
    }
    for (std::uint16_t i = 0; i < count; ++i) put16(t, 0), put16(t, 0);
    put16(t, 0); // no lookups
    return t;
}

QByteArray SfntWriter::collection(const std::vector<SfntWriter>& fonts)
{
    QByteArray out;
    out.append("ttcf", 4);
    put32(out, 0x00010000);
    put32(out, static_cast<std::uint32_t>(fonts.size()));
    std::uint32_t at = 12 + 4 * static_cast<std::uint32_t>(fonts.size());
    std::vector<QByteArray> built;
    for (const SfntWriter& font : fonts) {
        put32(out, at);
        built.push_back(font.build(at));
        at += static_cast<std::uint32_t>((built.back().size() + 3) / 4 * 4);
    }
    for (QByteArray& font : built) {
        pad4(font);
        out.append(font);
    }
    return out;
}

namespace {

/// Type 1 encryption (eexec with key 55665, charstrings with 4330).
QByteArray type1Encrypt(const QByteArray& plain, std::uint16_t key)
{
    std::uint16_t r = key;
    QByteArray out;
    for (char c : plain) {
        const auto p = static_cast<std::uint8_t>(c);
        const auto e = static_cast<std::uint8_t>(p ^ (r >> 8));
        r = static_cast<std::uint16_t>((e + r) * 52845u + 22719u);
        out.append(static_cast<char>(e));
    }
    return out;
}

} // namespace

QByteArray SfntWriter::type1Font(const QString& family, const QString& fullName, const QString& weight)
{
    const QByteArray psName = QString(family + u'-' + weight).remove(u' ').toLatin1();
    QByteArray clear;
    clear += "%!PS-AdobeFont-1.0: " + psName + " 001.000\n";
    clear += "12 dict begin\n/FontInfo 9 dict dup begin\n/version (001.000) readonly def\n";
    clear += "/FullName (" + fullName.toLatin1() + ") readonly def\n";
    clear += "/FamilyName (" + family.toLatin1() + ") readonly def\n";
    clear += "/Weight (" + weight.toLatin1() + ") readonly def\n";
    clear += "/ItalicAngle 0 def\n/isFixedPitch false def\nend readonly def\n";
    clear += "/FontName /" + psName + " def\n/Encoding StandardEncoding def\n/PaintType 0 def\n";
    clear += "/FontType 1 def\n/FontMatrix [0.001 0 0 0.001 0 0] readonly def\n";
    clear += "/FontBBox {0 0 500 700} readonly def\ncurrentdict end\ncurrentfile eexec\n";

    // "0 500 hsbw endchar" and "0 250 hsbw endchar", each after four bytes of lenIV.
    auto charString = [](std::uint8_t hi, std::uint8_t lo) {
        QByteArray plain("\0\0\0\0", 4);
        plain += QByteArray::fromRawData("\x8b", 1);
        plain.append(static_cast<char>(hi)).append(static_cast<char>(lo));
        plain += QByteArray("\x0d\x0e", 2);
        return type1Encrypt(plain, 4330);
    };
    const QByteArray notdef = charString(248, 136); // 500
    const QByteArray space = charString(247, 142);  // 250
    QByteArray priv("\0\0\0\0", 4);
    priv += "dup /Private 8 dict dup begin\n/RD{string currentfile exch readstring pop}executeonly def\n"
            "/ND{noaccess def}executeonly def\n/NP{noaccess put}executeonly def\n/BlueValues [] ND\n"
            "/MinFeature{16 16} ND\n/password 5839 def\n/lenIV 4 def\n/Subrs 0 array ND\n"
            "2 index /CharStrings 2 dict dup begin\n";
    priv += "/.notdef " + QByteArray::number(notdef.size()) + " RD " + notdef + " ND\n";
    priv += "/space " + QByteArray::number(space.size()) + " RD " + space + " ND\n";
    priv += "end\nend\nreadonly put\nnoaccess put\ndup /FontName get exch definefont pop\n"
            "mark currentfile closefile\n";
    QByteArray out = clear + type1Encrypt(priv, 55665).toHex() + "\n";
    for (int line = 0; line < 8; ++line) out += QByteArray(64, '0') + "\n";
    out += "cleartomark\n";
    return out;
}

bool SfntWriter::writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(data) == data.size();
}

} // namespace quillon::test
