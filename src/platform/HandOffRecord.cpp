#include "platform/HandOffRecord.h"

#include "platform/NativeText.h"

namespace quillon::platform {

namespace {

const QByteArray kMagic = "QUILLON-HANDOFF ";
const QByteArray kEnd = "END\n";
const QByteArray kEarlierRequest = "ACTIVATE ";
constexpr qsizetype kMostNameBytes = 32;

bool isName(const QByteArray& name)
{
    if (name.isEmpty() || name.size() > kMostNameBytes) return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    return true;
}

/// A decimal count of at most nine digits, the whole of text.
std::optional<qsizetype> countOf(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    qsizetype value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

QByteArray HandOffRecord::encode() const
{
    std::map<QByteArray, QByteArray> all = fields;
    all[QByteArrayLiteral("window")] = windowTitle.toUtf8();
    if (commandLine) all[QByteArrayLiteral("command-line")] = nativeBytes(*commandLine);
    all[QByteArrayLiteral("file")] = nativeBytes(file);
    if (!activationToken.isEmpty()) all[QByteArrayLiteral("activation-token")] = activationToken.toUtf8();
    QByteArray out = kMagic + QByteArray::number(kVersion) + '\n';
    for (const auto& [name, value] : all)
        out += name + ' ' + QByteArray::number(value.size()) + '\n' + value + '\n';
    return out + kEnd;
}

HandOffRecord::Parse HandOffRecord::decode(const QByteArray& bytes, HandOffRecord& out, qsizetype* length)
{
    out = HandOffRecord();
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (bytes.startsWith(kEarlierRequest) || kEarlierRequest.startsWith(bytes.left(kEarlierRequest.size()))) {
        if (firstEnd < 0) return bytes.size() > kMostBytes ? Parse::Broken : Parse::Incomplete;
        if (!bytes.startsWith(kEarlierRequest)) return Parse::Broken;
        QByteArray title = bytes.mid(kEarlierRequest.size(), firstEnd - kEarlierRequest.size());
        while (title.endsWith('\r') || title.endsWith(' ')) title.chop(1); // the title's own lead blank stays
        out.windowTitle = QString::fromUtf8(title);
        if (length) *length = firstEnd + 1;
        return Parse::Whole;
    }
    if (!kMagic.startsWith(bytes.left(kMagic.size()))) return Parse::Broken;
    if (firstEnd < 0) return bytes.size() > 64 ? Parse::Broken : Parse::Incomplete;
    if (!bytes.startsWith(kMagic) || !countOf(bytes.mid(kMagic.size(), firstEnd - kMagic.size())))
        return Parse::Broken; // any version: a newer start's fields are read as far as they are known

    qsizetype at = firstEnd + 1;
    for (;;) {
        if (at > kMostBytes) return Parse::Broken;
        const qsizetype lineEnd = bytes.indexOf('\n', at);
        if (lineEnd < 0) return bytes.size() - at > kMostNameBytes + 12 ? Parse::Broken : Parse::Incomplete;
        const QByteArray line = bytes.mid(at, lineEnd - at);
        if (line + '\n' == kEnd) {
            at = lineEnd + 1;
            break;
        }
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0) return Parse::Broken;
        const QByteArray name = line.left(blank);
        const qsizetype count = countOf(line.mid(blank + 1)).value_or(-1);
        if (!isName(name) || count < 0 || count > kMostBytes) return Parse::Broken;
        const qsizetype valueAt = lineEnd + 1;
        if (bytes.size() < valueAt + count + 1) return Parse::Incomplete;
        if (bytes.at(valueAt + count) != '\n') return Parse::Broken;
        out.fields[name] = bytes.mid(valueAt, count);
        at = valueAt + count + 1;
    }
    const auto field = [&](const char* name) -> const QByteArray* {
        const auto it = out.fields.find(QByteArray(name));
        return it == out.fields.end() ? nullptr : &it->second;
    };
    if (const QByteArray* window = field("window")) out.windowTitle = QString::fromUtf8(*window);
    if (const QByteArray* line = field("command-line")) out.commandLine = fromNativeBytes(*line);
    if (const QByteArray* file = field("file")) out.file = fromNativeBytes(*file);
    if (const QByteArray* token = field("activation-token")) out.activationToken = QString::fromUtf8(*token);
    if (length) *length = at;
    return Parse::Whole;
}

} // namespace quillon::platform
