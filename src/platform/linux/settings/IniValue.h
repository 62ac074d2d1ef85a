#pragma once
// Keys and values of a settings file as QSettings writes and reads its INI format, so the program's
// settings stay readable by earlier versions (which used QSettings) and theirs by this one. The lines
// themselves are read and kept by KeyFileLines; this is only the text inside an entry.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace quillon::platform::ini {

/// A value as QSettings reads it: the text, or a list when unquoted commas separate items.
struct Value {
    QString text;
    QStringList items;
    bool isList = false;
};

/// Reads a value written after "=": escapes (\n, \x41, \101, ...), quotes, blanks around unquoted items,
/// and a ";" that starts a comment. nullopt when the value runs on past its line, as an open quote or a
/// final backslash makes it do in QSettings: such a file is not read as settings.
std::optional<Value> readValue(QStringView raw);

/// A text as QSettings writes it: control characters and lone surrogates (bytes of a file name that is
/// not UTF-8, see NativeText.h) as \x escapes, quotes around text with ";", ",", "=" or blanks at its
/// ends, and an "@" doubled at the start.
QString writeValue(const QString& text);

/// A key or group name as written ("%20" and "%U00E9" escapes, "\" for "/"); nullopt for a malformed one.
std::optional<QString> readKey(QStringView raw);

} // namespace quillon::platform::ini
