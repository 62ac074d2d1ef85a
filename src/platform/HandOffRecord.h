#pragma once
// What a later start hands to the running copy: one record per start, carried whole over the instance
// channel, so each start's own command line reaches the running copy even when many starts come at once
// or the settings file cannot be written.
//
// On the wire: a first line "QUILLON-HANDOFF <version>", then fields, each a line "<name> <byte count>"
// followed by exactly that many bytes and a line end, then a line "END". Names are lower-case letters,
// digits and '-'; a reader keeps the fields it does not know (a newer start may send more), so named
// fields can be added without a new version. Values are bytes: file names need not be UTF-8.

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

namespace quillon::platform {

struct HandOffRecord {
    static constexpr int kVersion = 1;
    /// A record larger than this is no start's: refused unread.
    static constexpr qsizetype kMostBytes = 256 * 1024;

    enum class Parse { Incomplete, Whole, Broken };

    QString windowTitle;
    /// The start's command line as the program keeps it (lower-cased), sent as the bytes it was given
    /// (NativeText.h); nullopt when the record has none (an earlier build's request, which left it in the
    /// settings).
    std::optional<QString> commandLine;
    /// The file named on the command line, absolute, as NativeText.h makes paths; may be empty.
    QString file;
    /// The token the launcher gave the later start (XDG_ACTIVATION_TOKEN), with which a Wayland compositor
    /// lets the running copy's window come forward; empty when it had none.
    QString activationToken;
    /// Every field by name as it came, the ones above included.
    std::map<QByteArray, QByteArray> fields;

    QByteArray encode() const;
    /// Reads a record from the start of bytes. Whole: out holds it and *length how many bytes it took.
    /// A request of the earlier form ("ACTIVATE <title>" and a line end) reads as a record with the
    /// title alone.
    static Parse decode(const QByteArray& bytes, HandOffRecord& out, qsizetype* length = nullptr);
};

} // namespace quillon::platform
