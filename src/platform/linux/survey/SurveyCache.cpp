#include "platform/linux/survey/SurveyCache.h"

#include "platform/Log.h"
#include "platform/NativeText.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

constexpr QByteArrayView kHeader = "quillon face survey 1";
// Far beyond any real font: the layout tables' feature lists hold a few hundred tags, fvar a few axes.
constexpr std::size_t kMostTags = 65536;
constexpr qsizetype kMostFeatures = 4096;
constexpr qsizetype kMostAxes = 256;

bool validTag(QByteArrayView tag)
{
    if (tag.size() != 4) return false;
    for (char c : tag)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

template <class Int> std::optional<Int> number(QByteArrayView text)
{
    Int value{};
    const char* end = text.data() + text.size();
    if (text.isEmpty()) return std::nullopt;
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end) return std::nullopt;
    return value;
}

/// "3,17,40" into ids below `count`; "-" is none.
std::optional<std::vector<std::uint32_t>> ids(QByteArrayView text, std::size_t count, qsizetype most)
{
    std::vector<std::uint32_t> out;
    if (text == "-") return out;
    for (QByteArrayView part : QByteArray::fromRawData(text.data(), text.size()).split(',')) {
        const auto id = number<std::uint32_t>(part);
        if (!id || *id >= count || static_cast<qsizetype>(out.size()) >= most) return std::nullopt;
        out.push_back(*id);
    }
    return out;
}

QByteArray joined(const QByteArrayList& tags, const QHash<QByteArray, int>& numbers)
{
    if (tags.isEmpty()) return "-";
    QByteArray out;
    for (const QByteArray& tag : tags) {
        if (!out.isEmpty()) out += ',';
        out += QByteArray::number(numbers.value(tag));
    }
    return out;
}

QByteArray escaped(const QByteArray& path)
{
    QByteArray out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::optional<QByteArray> unescaped(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\')
            out += '\\';
        else if (text[i] == 'n')
            out += '\n';
        else
            return std::nullopt;
    }
    return out;
}

/// The first `count` blank-separated fields of `line`, and the rest (which may hold blanks) last.
std::optional<std::vector<QByteArrayView>> fields(QByteArrayView line, int count, bool rest)
{
    std::vector<QByteArrayView> out;
    qsizetype at = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype blank = line.indexOf(' ', at);
        if (blank < 0) {
            if (rest || i + 1 < count) return std::nullopt;
            out.push_back(line.sliced(at));
            return out;
        }
        out.push_back(line.sliced(at, blank - at));
        at = blank + 1;
    }
    if (!rest) return std::nullopt; // more fields than the record has
    out.push_back(line.sliced(at));
    return out;
}

} // namespace

QByteArray serializeSurveyCache(const SurveyCacheData& data)
{
    QHash<QByteArray, int> numbers;
    QByteArrayList order;
    for (const CachedFile& file : data.files)
        for (const QByteArrayList* tags : {&file.tags.features, &file.tags.axes})
            for (const QByteArray& tag : *tags)
                if (!numbers.contains(tag)) {
                    numbers.insert(tag, static_cast<int>(order.size()));
                    order << tag;
                }
    QByteArray out = kHeader.toByteArray() + "\nkey " + data.key + '\n';
    for (const QByteArray& tag : order) out += "tag " + tag + '\n';
    for (const CachedFile& file : data.files) {
        out += "file " + QByteArray::number(file.face) + ' ' + QByteArray::number(file.bytes) + ' ' +
               QByteArray::number(file.mtimeNs) + ' ' +
               (file.read ? joined(file.tags.features, numbers) : QByteArray("?")) + ' ' +
               joined(file.tags.axes, numbers) + ' ' + escaped(file.path) + '\n';
    }
    for (const CachedDraw& draw : data.draws)
        out += "draw " + QByteArray::number(draw.file) + ' ' + QByteArray::number(draw.index) + '\n';
    out += "end " + QByteArray::number(qsizetype(data.files.size())) + ' ' +
           QByteArray::number(qsizetype(data.draws.size())) + '\n';
    return out;
}

std::optional<SurveyCacheData> parseSurveyCache(const QByteArray& text)
{
    if (!text.endsWith('\n')) return std::nullopt; // cut short
    SurveyCacheData data;
    QByteArrayList tags;
    enum Stage { Header, Key, Tags, Files, Draws, End, Done } stage = Header;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype newline = text.indexOf('\n', at);
        const QByteArrayView line = QByteArrayView(text).sliced(at, newline - at);
        at = newline + 1;
        if (stage == Done) return std::nullopt; // nothing may follow the end record
        if (stage == Header) {
            if (line != kHeader) return std::nullopt;
            stage = Key;
            continue;
        }
        if (stage == Key) {
            if (!line.startsWith("key ") || line.size() != 44) return std::nullopt;
            for (char c : line.sliced(4))
                if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
            data.key = line.sliced(4).toByteArray();
            stage = Tags;
            continue;
        }
        if (stage == Tags && line.startsWith("tag ")) {
            const QByteArrayView tag = line.sliced(4);
            if (!validTag(tag) || tags.contains(tag.toByteArray()) ||
                static_cast<std::size_t>(tags.size()) >= kMostTags)
                return std::nullopt;
            tags << tag.toByteArray();
            continue;
        }
        if (stage <= Files && line.startsWith("file ")) {
            stage = Files;
            const auto f = fields(line.sliced(5), 5, true);
            if (!f) return std::nullopt;
            CachedFile file;
            const auto face = number<int>((*f)[0]);
            const auto bytes = number<std::int64_t>((*f)[1]);
            const auto mtime = number<std::int64_t>((*f)[2]);
            const auto path = unescaped((*f)[5]);
            if (!face || *face < 0 || *face > 0xffff || !bytes || *bytes < 0 || !mtime || !path ||
                !path->startsWith('/'))
                return std::nullopt;
            file.face = *face;
            file.bytes = *bytes;
            file.mtimeNs = *mtime;
            file.path = *path;
            file.read = (*f)[3] != "?";
            if (file.read) {
                const auto features = ids((*f)[3], tags.size(), kMostFeatures);
                const auto axes = ids((*f)[4], tags.size(), kMostAxes);
                if (!features || !axes) return std::nullopt;
                for (std::uint32_t id : *features) file.tags.features << tags[id];
                for (std::uint32_t id : *axes) file.tags.axes << tags[id];
            } else if ((*f)[4] != "-") {
                return std::nullopt;
            }
            data.files.push_back(std::move(file));
            continue;
        }
        if (stage <= Draws && line.startsWith("draw ")) {
            stage = Draws;
            const auto f = fields(line.sliced(5), 2, false);
            if (!f || f->size() != 2) return std::nullopt;
            const auto file = number<int>((*f)[0]);
            const auto index = number<int>((*f)[1]);
            if (!file || *file < -1 || *file >= static_cast<int>(data.files.size()) || !index || *index < 0)
                return std::nullopt;
            data.draws.push_back(CachedDraw{*file, *index});
            continue;
        }
        if (line.startsWith("end ")) {
            const auto f = fields(line.sliced(4), 2, false);
            if (!f || f->size() != 2) return std::nullopt;
            if (number<qsizetype>((*f)[0]) != qsizetype(data.files.size()) ||
                number<qsizetype>((*f)[1]) != qsizetype(data.draws.size()))
                return std::nullopt;
            stage = Done;
            continue;
        }
        return std::nullopt;
    }
    if (stage != Done) return std::nullopt;
    return data;
}

} // namespace quillon::platform
