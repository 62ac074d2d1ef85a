#include "platform/NativeText.h"

#include <QStringDecoder>

namespace quillon::platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // a byte b >= 0x80 that is not valid UTF-8 becomes U+DC00 + b

/// The length of the valid UTF-8 sequence at `at` and its code point; 0 when the byte there starts none.
int validSequence(const unsigned char* s, qsizetype at, qsizetype size, char32_t& code)
{
    const unsigned char lead = s[at];
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (size - at < length) return 0;
    for (int i = 1; i < length; ++i) {
        const unsigned char next = s[at + i];
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not valid UTF-8.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

} // namespace

QString fromNativeBytes(QByteArrayView bytes)
{
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = strict.decode(bytes);
    if (!strict.hasError()) return text; // the usual name: plain UTF-8

    text.clear();
    text.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype at = 0; at < bytes.size();) {
        if (s[at] < 0x80) {
            text += QChar(char16_t(s[at++]));
            continue;
        }
        char32_t code = 0;
        if (const int length = validSequence(s, at, bytes.size(), code)) {
            text += QString::fromUcs4(&code, 1);
            at += length;
        } else {
            text += QChar(char16_t(kEscapeBase + s[at++]));
        }
    }
    return text;
}

QByteArray nativeBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += char(c);
        } else if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            bytes += char(c - kEscapeBase);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += text.sliced(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            bytes += "\xEF\xBF\xBD";
        } else {
            bytes += text.sliced(i, 1).toUtf8();
        }
    }
    return bytes;
}

QString lowerCased(const QString& text)
{
    QString lower;
    lower.reserve(text.size());
    qsizetype run = 0; // start of the text not yet copied
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            ++i;
            continue;
        }
        if (!QChar::isSurrogate(c)) continue;
        lower += text.mid(run, i - run).toLower();
        lower += text[i];
        run = i + 1;
    }
    lower += text.mid(run).toLower();
    return lower;
}

QStringList argumentsFrom(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << fromNativeBytes(argv[i]);
    return arguments;
}

} // namespace quillon::platform
