#pragma once
// Tags of the layout tables in words: a feature's name in the OpenType feature registry, a script's and a
// language system's name (from Unicode's script names and the language's English name, through ICU).

#include <QByteArray>
#include <QString>

namespace quillon::opentype {

/// The registered name of a feature tag ("Standard Ligatures" for "liga", "Stylistic Set 3" for "ss03",
/// "Character Variant 12" for "cv12"); empty for a tag the registry does not know.
QString featureName(const QByteArray& tag);
/// Whether the feature picks one of several alternates by number (aalt, salt, cv01..cv99), rather than
/// being only on or off.
bool takesAlternateNumber(const QByteArray& tag);
/// "Arabic" for "arab", "Devanagari" for "dev2", "Default" for "DFLT"; empty for a tag no script has.
QString scriptName(const QByteArray& tag);
/// "Urdu" for "URD " (or "URD"), "Turkish" for "TRK "; empty for a tag that names no known language.
QString languageName(const QByteArray& tag);

} // namespace quillon::opentype
