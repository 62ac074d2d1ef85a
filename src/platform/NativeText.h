#pragma once
// Text for the bytes the system hands over as names: file paths and command-line arguments. On Linux these
// are bytes, usually but not always UTF-8; a file named "bad\xff.ttf" is as real as any other. Decoding
// keeps every byte: valid UTF-8 becomes its characters, and each byte that is not part of valid UTF-8
// becomes the lone low surrogate U+DC00 + byte (U+DC80..U+DCFF), which no valid UTF-8 text decodes to.
// Encoding turns those back into the very bytes, so a name survives any number of round trips, lower-
// casing (which leaves surrogates alone), the settings file and the hand-off between copies.
//
// Qt's own file classes (QFile, QFileInfo, QFile::encodeName) would replace such bytes and miss the file:
// give the system the bytes of nativeBytes() instead.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace quillon::platform {

/// The text of a name's bytes; every byte is kept (see above).
QString fromNativeBytes(QByteArrayView bytes);
/// The bytes a text from fromNativeBytes came from; other text as UTF-8. A surrogate that neither pairs
/// nor stands for a byte (never made by fromNativeBytes) is written as U+FFFD.
QByteArray nativeBytes(QStringView text);

/// text.toLower(), except that the bytes that are not UTF-8 stay as they are: QString::toLower turns a
/// lone surrogate into U+FFFD, and two such names would then match each other.
QString lowerCased(const QString& text);

/// The program's arguments (argv[1] to argv[argc - 1]) as text, each byte kept.
QStringList argumentsFrom(int argc, const char* const* argv);

} // namespace quillon::platform
