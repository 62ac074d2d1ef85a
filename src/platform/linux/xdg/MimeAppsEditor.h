#pragma once
// Edits of the user's association lists ($XDG_CONFIG_HOME/[desktop-]mimeapps.list) that can be taken back
// exactly: the program's desktop ID is put in front of a type's default line, or after its added line, and
// later taken out again, so the line reads as it did before and the user's own choice applies again. A
// line made only for the program goes again when it is taken out, with a header made only for it. Every
// other line stays byte for byte; files are replaced atomically; a list the desktop could not read is
// never written (the edit then fails and the association stays as it is).

#include "platform/linux/xdg/MimeAppsLookup.h"
#include "platform/linux/xdg/XdgPaths.h"

#include <QString>

namespace quillon::platform {

class MimeAppsEditor {
public:
    explicit MimeAppsEditor(XdgPaths paths);

    /// Makes desktopId the default for the type: in the highest-priority user list that has a default
    /// line for the type (or an alias of it), else in the plain list. False when that list cannot be read
    /// or written.
    bool claimDefault(const QString& type, const QString& desktopId);
    /// Takes desktopId out of the type's default lines in every user list. False when a list that names
    /// it could not be written, or a list could not be read.
    bool giveBackDefault(const QString& type, const QString& desktopId);
    /// Adds desktopId at the end of the type's added associations.
    bool addAssociation(const QString& type, const QString& desktopId);
    /// Takes desktopId out of the type's added associations in every user list.
    bool removeAssociation(const QString& type, const QString& desktopId);
    /// Makes `opener` an explicit default of the type in the plain user list, on the line of the type's own
    /// name (after what it names) or a new one, so that an added association cannot take its place as the
    /// opener and every tool (those that read only default lines, too) reports it. Taken back exactly by
    /// unpinDefault.
    bool pinDefault(const QString& type, const QString& opener);
    bool unpinDefault(const QString& type, const QString& opener);
    /// Whether any user list still names desktopId as a default or an added association, of any type or of
    /// one of `types`.
    bool isNamed(const QString& desktopId, const QStringList& types = {}) const;

    /// A list value with `item` first ("a;b" -> "item;a;b"); an item already in it moves to the front.
    static QString withItemFirst(const QString& value, const QString& item);
    /// A list value with `item` last, written in the value's own style ("a;b" -> "a;b;item", "a;" ->
    /// "a;item;").
    static QString withItemLast(const QString& value, const QString& item);
    /// The value without `item`; the separators of the other items stay as written.
    static QString withoutItem(const QString& value, const QString& item);

    /// Why the last change that failed was not made, for the user; empty while none failed.
    QString problem() const { return problem_; }

private:
    bool putInto(const QString& group, const QString& type, const QString& desktopId, bool first);
    bool takeOutOf(const QString& group, const QString& type, const QString& desktopId);

    XdgPaths paths_;
    MimeAppsLookup lookup_; // for the aliases of types
    QString problem_;
};

} // namespace quillon::platform
