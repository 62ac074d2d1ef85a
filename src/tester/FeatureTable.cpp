#include "tester/FeatureTable.h"

namespace quillon::tester {

void FeatureTable::setFeatures(std::vector<opentype::Feature> features, const typeset::FontSettings& settings)
{
    beginResetModel();
    features_ = std::move(features);
    settings_ = settings;
    endResetModel();
}

void FeatureTable::setSettings(const typeset::FontSettings& settings)
{
    settings_ = settings;
    if (!features_.empty())
        emit dataChanged(index(0, SettingColumn), index(rowCount() - 1, SettingColumn), {Qt::DisplayRole});
}

QString FeatureTable::settingWords(std::optional<unsigned> value)
{
    if (!value) return QStringLiteral("default");
    if (*value == 0) return QStringLiteral("off");
    if (*value == 1) return QStringLiteral("on");
    return QStringLiteral("alternate %1").arg(*value);
}

int FeatureTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(features_.size());
}

int FeatureTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant FeatureTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const opentype::Feature& f = feature(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (index.column()) {
        case TagColumn:
            return QString::fromLatin1(f.tag);
        case NameColumn:
            return f.fontName.isEmpty() ? f.name
                   : f.name.isEmpty()   ? f.fontName
                                        : QStringLiteral("%1: %2").arg(f.name, f.fontName);
        case SettingColumn:
            return settingWords(settings_.feature(f.tag));
        case TablesColumn:
            return QStringLiteral("%1%2%3").arg(f.substitution ? QStringLiteral("GSUB") : QString(),
                                                f.substitution && f.positioning ? QStringLiteral(" ")
                                                                                : QString(),
                                                f.positioning ? QStringLiteral("GPOS") : QString());
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole && !f.systems.empty()) {
        QStringList systems;
        for (const opentype::LanguageSystem& s : f.systems)
            systems << QString::fromLatin1(s.script).trimmed() + u'/' +
                           QString::fromLatin1(s.language).trimmed();
        if (systems.size() > 40) systems = systems.mid(0, 40) << QStringLiteral("…");
        return QStringLiteral("In %1").arg(systems.join(QStringLiteral(", ")));
    }
    return {};
}

QVariant FeatureTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case TagColumn:
        return QStringLiteral("Tag");
    case NameColumn:
        return QStringLiteral("Name");
    case SettingColumn:
        return QStringLiteral("Setting");
    case TablesColumn:
        return QStringLiteral("Tables");
    default:
        return {};
    }
}

} // namespace quillon::tester
