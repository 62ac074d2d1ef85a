#pragma once
// The layout features a face offers: the tags of the feature lists of its GSUB and GPOS tables, with the
// names the OpenType feature registry gives them. Reads only inside the table's bytes.

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <vector>

namespace quillon::faceinfo {

/// The distinct feature tags of a GSUB or GPOS table, in the order the feature list first names them; empty
/// for a table too short or whose feature list lies outside it (the part of the list that lies inside is
/// read).
QByteArrayList featureTags(const QByteArray& table);

/// The registered name of a feature tag ("Standard Ligatures" for "liga", "Stylistic Set 3" for "ss03",
/// "Character Variant 12" for "cv12"); empty for a tag the registry does not know.
QString featureName(const QByteArray& tag);

struct Feature {
    QByteArray tag;
    QString name;              // registered name, may be empty
    bool substitution = false; // in GSUB
    bool positioning = false;  // in GPOS
};

/// The features of both tables, ordered by tag.
std::vector<Feature> features(const QByteArray& gsub, const QByteArray& gpos);

} // namespace quillon::faceinfo
