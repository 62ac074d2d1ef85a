#pragma once
// The type tester's list of a face's features: tag, name (with the font's own name for a stylistic set or
// character variant), setting, and the tables that have it. A model over the reader's list, so a face with
// tens of thousands of features costs a view no more than one with ten.

#include "opentype/LayoutTables.h"
#include "typeset/FontSettings.h"

#include <QAbstractTableModel>

#include <vector>

namespace quillon::tester {

class FeatureTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TagColumn, NameColumn, SettingColumn, TablesColumn, ColumnCount };

    explicit FeatureTable(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    /// The face's features and the settings they are shown with.
    void setFeatures(std::vector<opentype::Feature> features, const typeset::FontSettings& settings);
    /// The settings changed: the setting column follows.
    void setSettings(const typeset::FontSettings& settings);
    const opentype::Feature& feature(int row) const { return features_[static_cast<std::size_t>(row)]; }

    /// "default", "on", "off", "alternate 3".
    static QString settingWords(std::optional<unsigned> value);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<opentype::Feature> features_;
    typeset::FontSettings settings_;
};

} // namespace quillon::tester
