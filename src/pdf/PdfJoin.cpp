#include "pdf/PdfJoin.h"

#include "pdf/PdfFile.h"
#include "platform/Log.h"

#include <QCryptographicHash>
#include <QFile>

#include <set>
#include <unordered_map>

namespace quillon {

namespace {

// The tokens of PDF syntax outside streams, as far as renumbering needs them: what opens and closes a
// dictionary or an array, names, strings (whose contents are never touched), and the rest (numbers,
// keywords, "R").
enum class Kind { End, Open, Close, Name, String, Other, Bad };

struct Token {
    Kind kind = Kind::End;
    qsizetype start = 0;
    qsizetype end = 0;
    int depth = 0; // of the dictionaries and arrays around it
};

bool isWhite(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool isDelimiter(char c) { return QByteArrayView("()<>[]{}/%").contains(c); }

class Lexer {
public:
    Lexer(const QByteArray& text, qsizetype at) : s_(text), pos_(at) {}

    Token next()
    {
        for (;;) {
            while (pos_ < s_.size() && isWhite(s_[pos_])) ++pos_;
            if (pos_ >= s_.size() || s_[pos_] != '%') break;
            while (pos_ < s_.size() && s_[pos_] != '\n' && s_[pos_] != '\r') ++pos_;
        }
        Token t{Kind::End, pos_, pos_, depth_};
        if (pos_ >= s_.size()) return t;
        const char c = s_[pos_];
        const char after = pos_ + 1 < s_.size() ? s_[pos_ + 1] : '\0';
        qsizetype i = pos_ + 1;
        if (c == '(') {
            t.kind = Kind::Bad;
            for (int nesting = 1; i < s_.size(); ++i) {
                if (s_[i] == '\\') {
                    ++i;
                } else if (s_[i] == '(') {
                    ++nesting;
                } else if (s_[i] == ')' && --nesting == 0) {
                    t.kind = Kind::String;
                    ++i;
                    break;
                }
            }
        } else if ((c == '<' && after == '<') || c == '[') {
            t.kind = Kind::Open;
            t.depth = depth_++;
            i = pos_ + (c == '<' ? 2 : 1);
        } else if ((c == '>' && after == '>') || c == ']') {
            t.kind = depth_ > 0 ? Kind::Close : Kind::Bad;
            t.depth = depth_ > 0 ? --depth_ : 0;
            i = pos_ + (c == '>' ? 2 : 1);
        } else if (c == '<') {
            while (i < s_.size() && s_[i] != '>') ++i;
            t.kind = i < s_.size() ? Kind::String : Kind::Bad;
            ++i;
        } else if (c == '/') {
            while (i < s_.size() && !isWhite(s_[i]) && !isDelimiter(s_[i])) ++i;
            t.kind = Kind::Name;
        } else if (isDelimiter(c)) {
            t.kind = Kind::Bad; // ")", ">", "{", "}": nothing Qt writes outside a stream
        } else {
            while (i < s_.size() && !isWhite(s_[i]) && !isDelimiter(s_[i])) ++i;
            t.kind = Kind::Other;
        }
        t.end = pos_ = std::min(i, s_.size());
        return t;
    }

private:
    const QByteArray& s_;
    qsizetype pos_;
    int depth_ = 0;
};

std::optional<long long> unsignedNumber(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 10) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    return text.toLongLong();
}

// An object's text read up to the keyword that ends its first part ("stream" or "endobj").
struct Parsed {
    std::vector<Token> tokens; // without the keyword
    Token keyword;
};

std::optional<Parsed> parse(const QByteArray& text, qsizetype from)
{
    Parsed parsed;
    Lexer lexer(text, from);
    for (;;) {
        const Token t = lexer.next();
        if (t.kind == Kind::End || t.kind == Kind::Bad) return std::nullopt;
        const QByteArrayView word = QByteArrayView(text).sliced(t.start, t.end - t.start);
        if (t.kind == Kind::Other && (word == "stream" || word == "endobj")) {
            if (t.depth != 0) return std::nullopt;
            parsed.keyword = t;
            return parsed;
        }
        parsed.tokens.push_back(t);
    }
}

QByteArrayView wordOf(const QByteArray& text, const Token& t)
{
    return QByteArrayView(text).sliced(t.start, t.end - t.start);
}

// The keys of the dictionary that makes up the whole of `tokens`; nullopt when it is not one dictionary.
std::optional<std::set<QByteArray>> keysOf(const QByteArray& text, const std::vector<Token>& tokens)
{
    if (tokens.size() < 2 || tokens.front().kind != Kind::Open || wordOf(text, tokens.front()) != "<<" ||
        tokens.back().kind != Kind::Close || tokens.back().depth != 0)
        return std::nullopt;
    std::set<QByteArray> keys;
    bool key = true;
    for (std::size_t i = 1; i + 1 < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.depth != 1) continue; // inside a value
        if (key) {
            if (t.kind != Kind::Name) return std::nullopt;
            keys.insert(wordOf(text, t).toByteArray());
            key = false;
            continue;
        }
        // A value: one token, a group (its closing token is at depth 1 too), or "N G R".
        if (t.kind == Kind::Open) {
            while (i + 1 < tokens.size() && !(tokens[i].kind == Kind::Close && tokens[i].depth == 1)) ++i;
        } else if (i + 2 < tokens.size() - 1 && unsignedNumber(wordOf(text, t)) &&
                   unsignedNumber(wordOf(text, tokens[i + 1])) && wordOf(text, tokens[i + 2]) == "R") {
            i += 2;
        }
        key = true;
    }
    if (!key) return std::nullopt;
    return keys;
}

// The value of a top-level key of the dictionary: the tokens that follow it.
std::optional<std::size_t> valueAfter(const QByteArray& text, const std::vector<Token>& tokens,
                                      QByteArrayView key)
{
    for (std::size_t i = 1; i + 1 < tokens.size(); ++i)
        if (tokens[i].depth == 1 && tokens[i].kind == Kind::Name && wordOf(text, tokens[i]) == key)
            return i + 1;
    return std::nullopt;
}

class Output {
public:
    explicit Output(QIODevice& device) : device_(device) {}
    void write(const QByteArray& bytes)
    {
        if (ok_ && device_.write(bytes) != bytes.size()) ok_ = false;
        offset_ += bytes.size();
        digest_.addData(bytes);
    }
    qint64 offset() const { return offset_; }
    bool ok() const { return ok_; }
    /// The file identifier a reader and an archive tell documents apart by: a digest of what was written.
    QByteArray identifier() const { return digest_.result().toHex().toUpper(); }

private:
    QIODevice& device_;
    qint64 offset_ = 0;
    bool ok_ = true;
    QCryptographicHash digest_{QCryptographicHash::Md5};
};

class Joiner {
public:
    explicit Joiner(QIODevice& out) : out_(out) {}

    QString join(const QStringList& parts)
    {
        // A binary comment after the header tells file transfers that the file is not text.
        out_.write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
        offsets_ = {0, 0, 0}; // 0 is the head of the free list; 1 the catalogue, 2 the page tree
        for (qsizetype i = 0; i < parts.size(); ++i)
            if (const QString error = addPart(parts[i], i == 0); !error.isEmpty())
                return QStringLiteral("part %1 of %2: %3").arg(i + 1).arg(parts.size()).arg(error);
        if (kids_.empty()) return QStringLiteral("there are no pages to join");

        QByteArray tree = "<<\n/Type /Pages\n/Kids [";
        for (std::size_t i = 0; i < kids_.size(); ++i)
            tree += (i % 8 == 0 ? "\n" : " ") + PdfFile::reference(kids_[i]);
        tree += "\n]\n/Count " + QByteArray::number(qsizetype(kids_.size())) + "\n>>";
        writeObject(2, tree);
        writeObject(1, "<<\n/Type /Catalog\n/Pages 2 0 R\n>>");

        const qint64 xref = out_.offset();
        QByteArray table =
            "xref\n0 " + QByteArray::number(qsizetype(offsets_.size())) + "\n0000000000 65535 f \n";
        for (std::size_t n = 1; n < offsets_.size(); ++n)
            table += QByteArray::number(offsets_[n]).rightJustified(10, '0') + " 00000 n \n";
        out_.write(table);
        QByteArray trailer =
            "trailer\n<< /Size " + QByteArray::number(qsizetype(offsets_.size())) + " /Root 1 0 R";
        if (info_) trailer += " /Info " + PdfFile::reference(*info_);
        // Written the same twice, as for a file not yet changed; an outline added later changes the second.
        const QByteArray id = '<' + out_.identifier() + '>';
        trailer += " /ID [" + id + ' ' + id + ']';
        out_.write(trailer + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
        return out_.ok() ? QString() : QStringLiteral("cannot write the joined file");
    }

private:
    void writeObject(long long number, const QByteArray& body)
    {
        offsets_[std::size_t(number)] = out_.offset();
        out_.write(QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n");
    }

    QString addPart(const QString& path, bool first)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read it: ") + file.errorString();
        PdfFile pdf(file);
        if (!pdf.readStructure()) return pdf.problem();

        const auto catalogue = pdf.objectText(pdf.root());
        const auto catalogueParsed =
            catalogue ? parse(*catalogue, catalogue->indexOf(" obj") + 4) : std::nullopt;
        const auto catalogueKeys =
            catalogueParsed ? keysOf(*catalogue, catalogueParsed->tokens) : std::nullopt;
        if (!catalogueKeys) return QStringLiteral("the catalogue cannot be read");
        if (*catalogueKeys != std::set<QByteArray>{"/Type", "/Pages"})
            return QStringLiteral("the catalogue holds more than its pages");
        const auto tree = pdf.pageTree(pdf.object(pdf.root()).value_or(QByteArray()));
        if (!tree) return pdf.problem();
        const auto treeText = pdf.objectText(tree->ref);
        const auto treeParsed = treeText ? parse(*treeText, treeText->indexOf(" obj") + 4) : std::nullopt;
        const auto treeKeys = treeParsed ? keysOf(*treeText, treeParsed->tokens) : std::nullopt;
        if (!treeKeys) return QStringLiteral("the page tree cannot be read");
        for (const QByteArray& key : *treeKeys)
            if (key != "/Type" && key != "/Kids" && key != "/Count" && key != "/ProcSet")
                return QStringLiteral("the page tree holds %1, which its pages would lose")
                    .arg(QString::fromLatin1(key));

        // New numbers: the page tree becomes the joined one; the catalogue and the document information of
        // any but the first part are left out, so nothing may refer to them.
        std::unordered_map<long long, long long> numbers;
        long long next = (long long)offsets_.size();
        for (const auto& [number, entry] : pdf.objects()) {
            const bool leftOut =
                number == pdf.root().number || (!first && pdf.info() && number == pdf.info()->number);
            if (number == tree->ref.number)
                numbers[number] = 2;
            else if (!leftOut)
                numbers[number] = next++;
        }
        offsets_.resize(std::size_t(next));
        if (first && pdf.info()) {
            const auto info = numbers.find(pdf.info()->number);
            const auto entry = pdf.objects().find(pdf.info()->number);
            if (info == numbers.end() || info->second == 2 ||
                entry->second.generation != pdf.info()->generation)
                return QStringLiteral("the trailer's document information is not an object of its own");
            info_ = info->second;
        }
        const std::set<long long> pages = [&] {
            std::set<long long> set;
            for (const PdfRef& page : tree->pages) set.insert(page.number);
            return set;
        }();
        if (pages.size() != tree->pages.size()) return QStringLiteral("the page tree lists a page twice");

        for (const auto& [number, entry] : pdf.objects()) {
            if (!numbers.count(number) || number == tree->ref.number) continue;
            if (const QString error =
                    copyObject(pdf, {number, entry.generation}, numbers, pages.count(number) > 0, tree->ref);
                !error.isEmpty())
                return QStringLiteral("object %1: %2").arg(number).arg(error);
        }
        for (const PdfRef& page : tree->pages) {
            const auto found = numbers.find(page.number);
            if (found == numbers.end() || found->second == 2 ||
                pdf.objects().at(page.number).generation != page.generation)
                return QStringLiteral("the page tree lists a page the file lacks");
            kids_.push_back(found->second);
        }
        return QString();
    }

    QString copyObject(PdfFile& pdf, const PdfRef& ref,
                       const std::unordered_map<long long, long long>& numbers, bool page, const PdfRef& tree)
    {
        const auto text = pdf.objectText(ref);
        if (!text) return QStringLiteral("it cannot be read");
        const qsizetype bodyAt = text->indexOf(" obj") + 4;
        const auto parsed = parse(*text, bodyAt);
        if (!parsed) return QStringLiteral("it is not written as this program reads objects");

        QByteArray body;
        qsizetype copied = bodyAt;
        const std::vector<Token>& tokens = parsed->tokens;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind != Kind::Other || wordOf(*text, tokens[i]) != "R") continue;
            if (i < 2) return QStringLiteral("it holds an R that is no reference");
            const auto number = unsignedNumber(wordOf(*text, tokens[i - 2]));
            const auto generation = unsignedNumber(wordOf(*text, tokens[i - 1]));
            if (!number || !generation) return QStringLiteral("it holds an R that is no reference");
            const auto found = numbers.find(*number);
            const auto entry = pdf.objects().find(*number);
            if (found == numbers.end() || entry == pdf.objects().end() ||
                entry->second.generation != *generation)
                return QStringLiteral("it refers to object %1, which is not there or is left out")
                    .arg(*number);
            body += QByteArrayView(*text).sliced(copied, tokens[i - 2].start - copied);
            body += PdfFile::reference(found->second);
            copied = tokens[i].end;
        }
        body += QByteArrayView(*text).sliced(copied, parsed->keyword.start - copied);

        if (page) {
            const auto type = valueAfter(*text, tokens, "/Type");
            if (!type || *type >= tokens.size() || wordOf(*text, tokens[*type]) != "/Page" ||
                PdfFile::referenceAfter(text->mid(bodyAt), "/Parent") != tree)
                return QStringLiteral("the page tree lists it, but it is not a page of that tree");
        }

        qsizetype end = parsed->keyword.end;
        QByteArray stream;
        if (wordOf(*text, parsed->keyword) == "stream") {
            const auto length = streamLength(pdf, *text, tokens);
            if (!length) return QStringLiteral("its stream has no length this program can read");
            qsizetype data = end;
            if (text->mid(data, 2) == "\r\n")
                data += 2;
            else if (text->mid(data, 1) == "\n")
                data += 1;
            else
                return QStringLiteral("its stream does not start on a line of its own");
            if (*length > text->size() - data) return QStringLiteral("its stream runs past its end");
            qsizetype after = data + qsizetype(*length);
            while (after < text->size() && (text->at(after) == '\r' || text->at(after) == '\n')) ++after;
            if (text->mid(after, 9) != "endstream")
                return QStringLiteral("its stream is not as long as it says");
            end = after + 9;
            stream = "stream\n" + text->mid(data, qsizetype(*length)) + "\nendstream";
            Lexer rest(*text, end);
            const Token t = rest.next();
            if (t.kind != Kind::Other || wordOf(*text, t) != "endobj")
                return QStringLiteral("it does not end after its stream");
            end = t.end;
        }
        for (qsizetype i = end; i < text->size(); ++i)
            if (!isWhite(text->at(i)))
                return QStringLiteral("something stands between it and the next object");

        writeObject(numbers.at(ref.number),
                    body.trimmed() + (stream.isEmpty() ? QByteArray() : '\n' + stream));
        return QString();
    }

    // A stream's /Length: a number, or a reference to an object holding one.
    static std::optional<qint64> streamLength(PdfFile& pdf, const QByteArray& text,
                                              const std::vector<Token>& tokens)
    {
        const auto at = valueAfter(text, tokens, "/Length");
        if (!at || *at >= tokens.size()) return std::nullopt;
        const auto direct = unsignedNumber(wordOf(text, tokens[*at]));
        if (!direct) return std::nullopt;
        if (*at + 2 >= tokens.size() || wordOf(text, tokens[*at + 2]) != "R") return *direct;
        const auto generation = unsignedNumber(wordOf(text, tokens[*at + 1]));
        const auto value = generation ? pdf.object({*direct, *generation}) : std::nullopt;
        return value ? unsignedNumber(*value) : std::nullopt;
    }

    Output out_;
    std::vector<qint64> offsets_;
    std::vector<long long> kids_;
    std::optional<long long> info_;
};

} // namespace

PdfJoin::PdfJoin(QIODevice& out) : out_(out) {}

bool PdfJoin::join(const QStringList& parts)
{
    problem_ = Joiner(out_).join(parts);
    if (problem_.isEmpty()) return true;
    qCDebug(log::printing) << "PDF files not joined:" << problem_;
    return false;
}

} // namespace quillon
