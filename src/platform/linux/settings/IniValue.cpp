#include "platform/linux/settings/IniValue.h"

namespace quillon::platform::ini {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

void chopBlanks(QString& text, qsizetype keep)
{
    while (text.size() > keep && isBlank(text.back())) text.chop(1);
}

} // namespace

std::optional<Value> readValue(QStringView raw)
{
    Value value;
    QString current;
    bool inQuotes = false;
    bool quoted = false;     // the current item had quotes: its blanks are its own
    qsizetype chopLimit = 0; // blanks before this point came from escapes and stay
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && isBlank(raw[i])) ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        const QChar c = raw[i];
        if (c == QLatin1Char('\\')) {
            if (++i == raw.size()) return std::nullopt; // a line continuation
            const QChar e = raw[i++];
            switch (e.unicode()) {
            case 'a':
                current += QChar(0x07);
                break;
            case 'b':
                current += QChar(0x08);
                break;
            case 'f':
                current += QChar(0x0C);
                break;
            case 'n':
                current += QChar(0x0A);
                break;
            case 'r':
                current += QChar(0x0D);
                break;
            case 't':
                current += QChar(0x09);
                break;
            case 'v':
                current += QChar(0x0B);
                break;
            case '"':
            case '?':
            case '\'':
            case '\\':
                current += e;
                break;
            case 'x': {
                char16_t code = 0; // sixteen bits, wrapping as QSettings' reader does
                while (i < raw.size() && hexDigit(raw[i]) >= 0)
                    code = char16_t((code << 4) + hexDigit(raw[i++]));
                current += QChar(code);
                break;
            }
            default:
                if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                    char16_t code = char16_t(e.unicode() - '0');
                    while (i < raw.size() && raw[i] >= QLatin1Char('0') && raw[i] <= QLatin1Char('7'))
                        code = char16_t((code << 3) + (raw[i++].unicode() - '0'));
                    current += QChar(code);
                }
                break; // any other escaped character is dropped
            }
            chopLimit = current.size();
        } else if (c == QLatin1Char('"')) {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) skipBlanks();
        } else if (c == QLatin1Char(';') && !inQuotes) {
            break; // the rest of the line is a comment
        } else if (c == QLatin1Char(',') && !inQuotes) {
            if (!quoted) chopBlanks(current, chopLimit);
            value.isList = true;
            value.items << current;
            current.clear();
            chopLimit = 0;
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            current += c;
            ++i;
        }
    }
    if (inQuotes) return std::nullopt; // QSettings would read on into the next lines
    if (!quoted) chopBlanks(current, chopLimit);
    if (value.isList)
        value.items << current;
    else
        value.text = current;
    return value;
}

QString writeValue(const QString& text)
{
    QString out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false; // a hex digit straight after \x.. would extend that escape
    const QString body = text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    for (const QChar c : body) {
        const char16_t u = c.unicode();
        if (u == ';' || u == ',' || u == '=') needsQuotes = true;
        if (escapeNextIfHex && hexDigit(c) >= 0) {
            out += QStringLiteral("\\x") + QString::number(u, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (u) {
        case 0x07:
            out += QStringLiteral("\\a");
            break;
        case 0x08:
            out += QStringLiteral("\\b");
            break;
        case 0x0C:
            out += QStringLiteral("\\f");
            break;
        case 0x0A:
            out += QStringLiteral("\\n");
            break;
        case 0x0D:
            out += QStringLiteral("\\r");
            break;
        case 0x09:
            out += QStringLiteral("\\t");
            break;
        case 0x0B:
            out += QStringLiteral("\\v");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        default:
            // Lone surrogates are a file name's undecodable bytes; UTF-8 cannot hold them, an escape can.
            if (u < 0x20 || u == 0x7F || c.isSurrogate()) {
                out += QStringLiteral("\\x") + QString::number(u, 16);
                escapeNextIfHex = true;
            } else {
                out += c;
            }
        }
    }
    if (needsQuotes ||
        (!out.isEmpty() && (out.front() == QLatin1Char(' ') || out.back() == QLatin1Char(' '))))
        out = QLatin1Char('"') + out + QLatin1Char('"');
    return out;
}

std::optional<QString> readKey(QStringView raw)
{
    QString key;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QLatin1Char('\\')) {
            key += QLatin1Char('/');
        } else if (c != QLatin1Char('%')) {
            key += c;
        } else {
            const bool wide = i + 1 < raw.size() && raw[i + 1] == QLatin1Char('U');
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype from = i + 1 + (wide ? 1 : 0);
            if (from + digits > raw.size()) return std::nullopt;
            char16_t code = 0;
            for (qsizetype d = 0; d < digits; ++d) {
                const int v = hexDigit(raw[from + d]);
                if (v < 0) return std::nullopt;
                code = char16_t(code * 16 + v);
            }
            key += QChar(code);
            i = from + digits - 1;
        }
    }
    return key;
}

} // namespace quillon::platform::ini
