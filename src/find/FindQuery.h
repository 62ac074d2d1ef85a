#pragma once
// What the user asks the finder: each filter is off when empty or false, and the filters that are on are
// combined with AND. The same query comes from the window's controls, from quillon-inspect's options and from
// the settings, where the window keeps it for the next time.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

namespace platform {
class SettingsStore;
}

namespace find {

enum class FormatFilter { Any, TrueType, OpenTypeCff, Collection, Type1, Bitmap };
enum class OriginFilter { Anyone, User, System };

struct FindQuery {
    QString name;     // words, each anywhere in a name of the face
    QString language; // a font system language tag ("vi"); empty: any
    QString script;   // a script's name as WritingSystems gives it ("Georgian"); used when language is empty
    QString text;     // the face has every character of it
    QByteArray feature; // a layout feature tag ("smcp")
    bool variable = false;
    QByteArray axis; // a variation axis tag ("wdth"); the face is variable with that axis
    bool colour = false;
    bool monospaced = false;
    FormatFilter format = FormatFilter::Any;
    OriginFilter origin = OriginFilter::Anyone;
    bool operator==(const FindQuery&) const = default;

    /// The query of quillon-inspect's find options (see usage), and whether --count was given; nullopt
    /// with `problem` set for options it does not take.
    static std::optional<FindQuery> fromArguments(const QStringList& args, bool* count, QString* problem);
    static constexpr const char* kUsage =
        "find [--name WORDS] [--language TAG | --script NAME] [--text T] [--feature TAG] [--axis TAG | "
        "--variable] [--colour] [--monospaced] [--format truetype|cff|collection|type1|bitmap] "
        "[--user | --system] [--count]";

    /// The query the window kept in the settings (section "Find"); the default for keys absent.
    static FindQuery load(platform::SettingsStore& settings);
    /// Saves each filter that differs from `before`, one key each.
    void save(platform::SettingsStore& settings, const FindQuery& before) const;
};

/// A layout or axis tag as the user typed it: up to four printable ASCII characters, padded with blanks as
/// tags are; nullopt for anything else.
std::optional<QByteArray> tagFrom(const QString& text);

} // namespace find
} // namespace quillon
