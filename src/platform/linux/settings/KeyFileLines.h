#pragma once
// A key file (desktop entry, mimeapps.list, mimeinfo.cache, the program's settings file) held line for line,
// so that an edit changes only the lines it means to and every other line, comment and blank stays as the
// user left it. A desktop file is accepted by the rules GLib reads these files with, since that is how the
// desktop sees them; a settings file by the rules of QSettings' INI format, which earlier versions wrote.
// A file that its reader would refuse, or read otherwise than line for line, is refused here too, and the
// caller leaves it alone.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quillon::platform {

class KeyFileLines {
public:
    enum class Syntax {
        Desktop, ///< freedesktop key files as GLib reads them
        QtIni    ///< QSettings' INI files: ";" comments too, keys and group names with "%" escapes, values
                 ///< as ini::readValue reads them (one line each), keys before any group in "General" ("")
    };

    struct Entry {
        int line = 0;  ///< index into the file's lines
        QString key;   ///< as written, without surrounding blanks (QtIni: with its escapes undone)
        QString value; ///< as written (escapes kept), without surrounding blanks
    };

    /// Accepts UTF-8 text without NUL bytes whose lines are blank, comments ("#"), group headers or
    /// key=value pairs after a group header; anything else gives nullopt.
    static std::optional<KeyFileLines> parse(const QByteArray& text, Syntax syntax = Syntax::Desktop);
    /// Reads and parses a file. A missing file is an empty one; an unreadable or refused file gives nullopt,
    /// and so does anything but a regular file (a FIFO would hang the read, a device never end it) and a
    /// file over kMostBytes: no settings or association file of the desktop comes near it.
    static constexpr qint64 kMostBytes = qint64{1} << 20;
    static std::optional<KeyFileLines> load(const QString& path, Syntax syntax = Syntax::Desktop);

    /// The file's text: its lines, each ended by a newline (the last one only if the file ended so).
    QByteArray text() const;
    bool isEmpty() const { return lines_.empty(); }
    /// Replaces the file at path atomically (a symbolic link's target is replaced); a file left with no
    /// lines is removed instead, since an association list with nothing in it says nothing. Makes the
    /// folder when needed. False when the file could not be written, the earlier file then left as it was
    /// and problem (when given) telling why, for the user.
    bool save(const QString& path, QString* problem = nullptr) const;

    /// The entries of a group in file order, every header of that name counted (the desktop merges them).
    std::vector<Entry> entries(const QString& group) const;
    /// The last value of a key in a group (the one the desktop uses), unescaped by the desktop's rules.
    std::optional<QString> value(const QString& group, const QString& key) const;

    /// Replaces an entry's value, keeping the key, the "=" and the blanks around it as written.
    void setValue(int line, const QString& value);
    /// Adds key=value after the last entry of the group, or a new group with it at the end of the file.
    void append(const QString& group, const QString& key, const QString& value);
    /// Removes an entry line. A header left with nothing under it goes too: it only served that entry.
    void removeEntry(int line);

    /// Undoes the escapes of a key file string: \s \n \t \r \\.
    static QString unescape(const QString& value);
    /// The items of a ";"-separated list value, unescaped and without blanks around them; empty items
    /// are dropped.
    static QStringList listItems(const QString& value);

private:
    enum class Kind { Comment, Group, Entry };
    struct Line {
        QString text; ///< as read, without its newline
        Kind kind = Kind::Comment;
        QString group;      ///< the group this line is in (the header's own name for a header)
        QString key;        ///< Entry only
        int valueStart = 0; ///< Entry only: where the value begins in text
    };

    std::vector<Line> lines_;
    bool endsWithNewline_ = true;
};

} // namespace quillon::platform
