#include "typeset/FontSettings.h"

#include <hb.h>

#include <QStringList>

#include <algorithm>

namespace quillon::typeset {

namespace {

QByteArray tagText(hb_tag_t tag)
{
    char text[4];
    hb_tag_to_string(tag, text);
    return QByteArray(text, 4);
}

QString number(double value) { return QString::number(value, 'g', 8); }

/// "wght" as CSS quotes it; a tag is four printable ASCII characters, which need no escape but the quote
/// and the backslash.
QString cssTag(const QByteArray& tag)
{
    QString text = QString::fromLatin1(tag);
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

template <class Setting, class Value> void put(std::vector<Setting>& list, const QByteArray& tag, Value value)
{
    auto it = std::find_if(list.begin(), list.end(), [&](const Setting& s) { return s.tag == tag; });
    if (!value) {
        if (it != list.end()) list.erase(it);
    } else if (it != list.end()) {
        it->value = *value;
    } else {
        list.push_back({tag, *value});
    }
}

QStringList pieces(const QString& text)
{
    QStringList out;
    for (const QString& piece : text.split(u',', Qt::SkipEmptyParts))
        if (!piece.trimmed().isEmpty()) out << piece.trimmed();
    return out;
}

} // namespace

std::optional<unsigned> FontSettings::feature(const QByteArray& tag) const
{
    for (const FeatureSetting& f : features)
        if (f.tag == tag) return f.value;
    return std::nullopt;
}

void FontSettings::setFeature(const QByteArray& tag, std::optional<unsigned> value)
{
    put(features, tag, value);
}

std::optional<double> FontSettings::axis(const QByteArray& tag) const
{
    for (const AxisSetting& a : axes)
        if (a.tag == tag) return a.value;
    return std::nullopt;
}

void FontSettings::setAxis(const QByteArray& tag, std::optional<double> value) { put(axes, tag, value); }

QString FontSettings::featuresText() const
{
    QStringList out;
    for (const FeatureSetting& f : features) {
        const QString tag = QString::fromLatin1(f.tag);
        out << (f.value == 0 ? u'-' + tag : f.value == 1 ? tag : tag + u'=' + QString::number(f.value));
    }
    return out.join(u',');
}

QString FontSettings::axesText() const
{
    QStringList out;
    for (const AxisSetting& a : axes) out << QString::fromLatin1(a.tag) + u'=' + number(a.value);
    return out.join(u',');
}

QString FontSettings::css() const
{
    QStringList lines;
    if (!features.empty()) {
        QStringList values;
        for (const FeatureSetting& f : features) values << cssTag(f.tag) + u' ' + QString::number(f.value);
        lines << QStringLiteral("font-feature-settings: %1;").arg(values.join(QStringLiteral(", ")));
    }
    if (!axes.empty()) {
        QStringList values;
        for (const AxisSetting& a : axes) values << cssTag(a.tag) + u' ' + number(a.value);
        lines << QStringLiteral("font-variation-settings: %1;").arg(values.join(QStringLiteral(", ")));
    }
    // CSS names a language system by its OpenType tag only; a BCP 47 code is the element's lang instead.
    const QByteArray tag = language.trimmed();
    if (!tag.isEmpty() && tag == tag.toUpper())
        lines << QStringLiteral("font-language-override: %1;").arg(cssTag(tag));
    return lines.join(u'\n');
}

std::optional<std::vector<FeatureSetting>> parseFeatures(const QString& text, QString* bad)
{
    std::vector<FeatureSetting> out;
    for (const QString& piece : pieces(text)) {
        const QByteArray bytes = piece.toLatin1();
        hb_feature_t feature{};
        if (piece.contains(u'[') || !hb_feature_from_string(bytes.constData(), int(bytes.size()), &feature)) {
            if (bad) *bad = piece;
            return std::nullopt;
        }
        put(out, tagText(feature.tag), std::optional<unsigned>(feature.value));
    }
    return out;
}

std::optional<std::vector<AxisSetting>> parseAxes(const QString& text, QString* bad)
{
    std::vector<AxisSetting> out;
    for (const QString& piece : pieces(text)) {
        const QByteArray bytes = piece.toLatin1();
        hb_variation_t variation{};
        if (!hb_variation_from_string(bytes.constData(), int(bytes.size()), &variation)) {
            if (bad) *bad = piece;
            return std::nullopt;
        }
        put(out, tagText(variation.tag), std::optional<double>(variation.value));
    }
    return out;
}

} // namespace quillon::typeset
