#include "platform/linux/settings/KeyFileLines.h"

#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"

#include "platform/linux/settings/IniValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\v') || c == QLatin1Char('\f');
}

qsizetype skipSpaces(const QString& text, qsizetype from)
{
    while (from < text.size() && isSpace(text.at(from))) ++from;
    return from;
}

qsizetype trimmedEnd(const QString& text, qsizetype from)
{
    qsizetype end = text.size();
    while (end > from && isSpace(text.at(end - 1))) --end;
    return end;
}

// "[name]" with only blanks after the bracket; the name non-empty, without brackets or control characters.
std::optional<QString> groupName(const QString& line)
{
    if (!line.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = line.indexOf(QLatin1Char(']'), 1);
    if (close < 0) return std::nullopt;
    for (qsizetype i = close + 1; i < line.size(); ++i)
        if (line.at(i) != QLatin1Char(' ') && line.at(i) != QLatin1Char('\t')) return std::nullopt;
    const QString name = line.mid(1, close - 1);
    if (name.isEmpty()) return std::nullopt;
    for (const QChar c : name)
        if (c == QLatin1Char('[') || c.unicode() < 0x20 || c.unicode() == 0x7f) return std::nullopt;
    return name;
}

// A key: no "=" or brackets but an optional "[locale]" suffix; no blank at either end.
bool isKeyName(const QString& key)
{
    qsizetype i = 0;
    while (i < key.size() && key.at(i) != QLatin1Char('[') && key.at(i) != QLatin1Char(']')) ++i;
    if (i == 0 || key.at(0) == QLatin1Char(' ') || key.at(i - 1) == QLatin1Char(' ')) return false;
    if (i < key.size() && key.at(i) == QLatin1Char('[')) {
        ++i;
        while (i < key.size() && (key.at(i).isLetterOrNumber() || QStringLiteral("-_.@").contains(key.at(i))))
            ++i;
        if (i >= key.size() || key.at(i) != QLatin1Char(']')) return false;
        ++i;
    }
    return i == key.size();
}

} // namespace

std::optional<KeyFileLines> KeyFileLines::parse(const QByteArray& text, Syntax syntax)
{
    const bool ini = syntax == Syntax::QtIni;
    if (text.contains('\0')) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(text);
    if (decoder.hasError()) return std::nullopt;

    KeyFileLines file;
    QStringList rawLines = decoded.split(QLatin1Char('\n'));
    file.endsWithNewline_ = decoded.isEmpty() || decoded.endsWith(QLatin1Char('\n'));
    if (file.endsWithNewline_) rawLines.removeLast();

    QString group;
    for (const QString& raw : rawLines) {
        Line line;
        line.text = raw;
        QString content = raw;
        if (content.endsWith(QLatin1Char('\r'))) content.chop(1);
        if (ini && content.contains(QLatin1Char('\r'))) return std::nullopt; // QSettings ends a line there
        const qsizetype start = skipSpaces(content, 0);
        const QString rest = content.mid(start);
        if (rest.isEmpty() || rest.startsWith(QLatin1Char('#')) ||
            (ini && rest.startsWith(QLatin1Char(';')))) {
            line.kind = Kind::Comment;
        } else if (const auto name = groupName(rest)) {
            line.kind = Kind::Group;
            if (!ini) {
                group = *name;
            } else if (name->compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
                group.clear(); // QSettings' own name for the keys outside any group
            } else {
                const auto unescaped = ini::readKey(*name);
                if (!unescaped || unescaped->isEmpty()) return std::nullopt;
                group = *unescaped;
            }
        } else {
            const qsizetype equals = rest.indexOf(QLatin1Char('='));
            if (equals <= 0 || (group.isEmpty() && !ini)) return std::nullopt;
            line.key = rest.left(trimmedEnd(rest.left(equals), 0));
            if (ini) {
                const auto key = line.key.contains(QLatin1Char('"')) ? std::nullopt : ini::readKey(line.key);
                if (!key || key->isEmpty()) return std::nullopt;
                line.key = *key;
            } else if (!isKeyName(line.key)) {
                return std::nullopt;
            }
            line.kind = Kind::Entry;
            qsizetype valueStart = start + equals + 1;
            while (valueStart < raw.size() &&
                   (raw.at(valueStart) == QLatin1Char(' ') || raw.at(valueStart) == QLatin1Char('\t')))
                ++valueStart;
            line.valueStart = static_cast<int>(valueStart);
            if (ini && !ini::readValue(QStringView(content).mid(valueStart))) return std::nullopt;
        }
        line.group = group;
        file.lines_.push_back(std::move(line));
    }
    return file;
}

std::optional<KeyFileLines> KeyFileLines::load(const QString& path, Syntax syntax)
{
    // Opened without waiting (a FIFO would hold the open up) and judged by what was opened, not by the name.
    const int fd = ::open(nativeBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return KeyFileLines();
        return std::nullopt;
    }
    struct stat st {};
    QByteArray bytes;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMostBytes;
    // Read to the end, whatever the size said: a file that grows meanwhile is still refused past the limit.
    char block[64 * 1024];
    while (whole) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            whole = n == 0;
            break;
        }
        bytes.append(block, n);
        whole = bytes.size() <= kMostBytes;
    }
    ::close(fd);
    if (!whole) return std::nullopt;
    return parse(bytes, syntax);
}

QByteArray KeyFileLines::text() const
{
    QString text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += lines_[i].text;
    }
    if (!lines_.empty() && endsWithNewline_) text += QLatin1Char('\n');
    return text.toUtf8();
}

bool KeyFileLines::save(const QString& path, QString* problem) const
{
    const QFileInfo info(path);
    if (lines_.empty() && !info.isSymLink()) return !info.exists() || QFile::remove(path);
    if (!QDir().mkpath(info.absolutePath())) return false;
    return ReplacingFile::replace(path, text(), problem);
}

std::vector<KeyFileLines::Entry> KeyFileLines::entries(const QString& group) const
{
    std::vector<Entry> found;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind != Kind::Entry || line.group != group) continue;
        const qsizetype end = trimmedEnd(line.text, line.valueStart);
        found.push_back(
            {static_cast<int>(i), line.key, line.text.mid(line.valueStart, end - line.valueStart)});
    }
    return found;
}

std::optional<QString> KeyFileLines::value(const QString& group, const QString& key) const
{
    std::optional<QString> found;
    for (const Entry& entry : entries(group))
        if (entry.key == key) found = unescape(entry.value);
    return found;
}

void KeyFileLines::setValue(int line, const QString& value)
{
    if (line < 0 || static_cast<std::size_t>(line) >= lines_.size() || lines_[line].kind != Kind::Entry)
        return;
    Line& target = lines_[line];
    // Blanks and a carriage return after the value belong to how the user's file is written: keep them.
    const qsizetype end = trimmedEnd(target.text, target.valueStart);
    target.text = target.text.left(target.valueStart) + value + target.text.mid(end);
}

void KeyFileLines::append(const QString& group, const QString& key, const QString& value)
{
    Line entry;
    entry.text = key + QLatin1Char('=') + value;
    entry.kind = Kind::Entry;
    entry.group = group;
    entry.key = key;
    entry.valueStart = static_cast<int>(key.size() + 1);

    // After the last entry of the group's last header, or straight after that header.
    int header = -1;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Group && lines_[i].group == group) header = static_cast<int>(i);
    if (header < 0) {
        Line heading;
        heading.text = QLatin1Char('[') + group + QLatin1Char(']');
        heading.kind = Kind::Group;
        heading.group = group;
        lines_.push_back(std::move(heading));
        lines_.push_back(std::move(entry));
        endsWithNewline_ = true;
        return;
    }
    std::size_t at = static_cast<std::size_t>(header) + 1;
    for (std::size_t i = at; i < lines_.size() && lines_[i].kind != Kind::Group; ++i)
        if (lines_[i].kind == Kind::Entry) at = i + 1;
    if (at == lines_.size()) endsWithNewline_ = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void KeyFileLines::removeEntry(int line)
{
    if (line < 0 || static_cast<std::size_t>(line) >= lines_.size() || lines_[line].kind != Kind::Entry)
        return;
    lines_.erase(lines_.begin() + line);
    int header = line - 1;
    while (header >= 0 && lines_[header].kind != Kind::Group) --header;
    if (header < 0) return;
    const std::size_t next = static_cast<std::size_t>(header) + 1;
    if (next == lines_.size() || lines_[next].kind == Kind::Group) lines_.erase(lines_.begin() + header);
}

QString KeyFileLines::unescape(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            text += QLatin1Char(' ');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case '\\':
            text += QLatin1Char('\\');
            break;
        default:
            text += c;
            text += next;
        }
    }
    return text;
}

QStringList KeyFileLines::listItems(const QString& value)
{
    QStringList items;
    for (const QString& item : value.split(QLatin1Char(';')))
        if (const QString clean = unescape(item).trimmed(); !clean.isEmpty()) items.append(clean);
    return items;
}

} // namespace quillon::platform
