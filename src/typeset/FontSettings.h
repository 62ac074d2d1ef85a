#pragma once
// How a face is asked to set text: the OpenType features turned on, off or to an alternate, the point of
// its design space, the script and language system its layout tables are read for. Written and read in
// HarfBuzz's own syntax ("smcp,-liga,salt=2", "wght=650,wdth=87.5"), which hb-shape takes too, and given
// out as CSS.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace quillon::typeset {

struct FeatureSetting {
    QByteArray tag;     // four characters
    unsigned value = 1; // 0 off, 1 on, n > 1 alternate n
    bool operator==(const FeatureSetting&) const = default;
};

struct AxisSetting {
    QByteArray tag; // four characters
    double value = 0;
    bool operator==(const AxisSetting&) const = default;
};

struct FontSettings {
    std::vector<FeatureSetting> features; // a feature not listed is left to the shaper's default
    std::vector<AxisSetting> axes;        // an axis not listed stays at its default
    /// The script the text is shaped as: an OpenType script tag ("arab", "dev2") or an ISO 15924 code
    /// ("Arab"); empty for the script of each run of the text.
    QByteArray script;
    /// The language system: an OpenType language tag ("TRK", "URD ") or a BCP 47 code ("tr"); empty for the
    /// system's language, as HarfBuzz takes it.
    QByteArray language;

    bool operator==(const FontSettings&) const = default;

    /// The setting of a feature, nullopt when it is left to the default.
    std::optional<unsigned> feature(const QByteArray& tag) const;
    /// Sets a feature (nullopt: back to the default), keeping the others in their order.
    void setFeature(const QByteArray& tag, std::optional<unsigned> value);
    /// The value of an axis, nullopt when it is at its default.
    std::optional<double> axis(const QByteArray& tag) const;
    void setAxis(const QByteArray& tag, std::optional<double> value);

    /// "smcp,-liga,salt=2"; "" when every feature is at its default.
    QString featuresText() const;
    /// "wght=650,wdth=87.5".
    QString axesText() const;
    /// font-feature-settings and font-variation-settings lines (each only when something is set), and
    /// font-language-override for a language system given by its tag.
    QString css() const;
};

/// Features in HarfBuzz's syntax, comma separated ("smcp,-liga,salt=2,+kern"); nullopt with the piece that
/// is not one in `bad`. A range ("aalt[3:5]") is refused: the settings apply to the whole text.
std::optional<std::vector<FeatureSetting>> parseFeatures(const QString& text, QString* bad = nullptr);
/// Axes in HarfBuzz's syntax, comma separated ("wght=650,wdth=87.5"); nullopt as above.
std::optional<std::vector<AxisSetting>> parseAxes(const QString& text, QString* bad = nullptr);

} // namespace quillon::typeset
