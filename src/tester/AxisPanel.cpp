#include "tester/AxisPanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace quillon::tester {

namespace {

constexpr int kSliderSteps = 1000;

QString axisWords(const opentype::Axis& axis)
{
    const QString tag = QString::fromLatin1(axis.tag).trimmed();
    QString words =
        axis.name.isEmpty() || axis.name == tag ? tag : QStringLiteral("%1 (%2)").arg(axis.name, tag);
    // A hidden axis is one the font asks not to offer; it is shown, marked, since testing is what it is for.
    if (axis.hidden) words += QStringLiteral(", hidden");
    return words;
}

} // namespace

AxisPanel::AxisPanel(QWidget* parent) : QWidget(parent)
{
    form_ = new QFormLayout(this);
    form_->setContentsMargins(0, 0, 0, 0);
    instances_ = new QComboBox(this);
    instances_->setObjectName(QStringLiteral("instanceList"));
    instances_->setAccessibleName(QStringLiteral("Named instance"));
    auto* label = new QLabel(QStringLiteral("&Instance:"), this);
    label->setBuddy(instances_);
    form_->addRow(label, instances_);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->hide();
    form_->addRow(note_);
    connect(instances_, &QComboBox::activated, this, &AxisPanel::pickInstance);
}

QDoubleSpinBox* AxisPanel::field(std::size_t axis) const
{
    return axis < rows_.size() ? rows_[axis].field : nullptr;
}
QSlider* AxisPanel::slider(std::size_t axis) const
{
    return axis < rows_.size() ? rows_[axis].slider : nullptr;
}

void AxisPanel::setAxes(const std::vector<opentype::Axis>& axes,
                        const std::vector<opentype::Instance>& instances,
                        const std::vector<double>& coordinates)
{
    while (form_->rowCount() > 2) form_->removeRow(2);
    rows_.clear();
    axes_ = axes;
    instanceList_ = instances;
    coordinates_ = coordinates;
    coordinates_.resize(axes_.size());

    showing_ = true;
    instances_->clear();
    instances_->addItem(QStringLiteral("Custom"));
    for (const opentype::Instance& instance : instanceList_) instances_->addItem(instance.name);
    instances_->setEnabled(!instanceList_.empty());

    const std::size_t shown = std::min(axes_.size(), kMostAxes);
    QWidget* before = instances_; // Tab goes from the instance list through each axis's slider and field
    for (std::size_t a = 0; a < shown; ++a) {
        const opentype::Axis& axis = axes_[a];
        const double low = std::min(axis.minimum, axis.maximum);
        const double high = std::max(axis.minimum, axis.maximum);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(0, kSliderSteps);
        slider->setObjectName(QStringLiteral("axisSlider_%1").arg(QString::fromLatin1(axis.tag).trimmed()));
        auto* field = new QDoubleSpinBox(this);
        field->setObjectName(QStringLiteral("axisField_%1").arg(QString::fromLatin1(axis.tag).trimmed()));
        field->setRange(low, high);
        field->setDecimals(high - low >= 10 ? 1 : 2);
        field->setSingleStep(high - low >= 100 ? 1 : high - low >= 10 ? 0.5 : 0.01);
        field->setKeyboardTracking(false); // typing "650" asks for 650, not for 6 and 65 on the way
        const QString words = axisWords(axis);
        slider->setAccessibleName(words);
        field->setAccessibleName(words + QStringLiteral(" value"));
        field->setToolTip(QStringLiteral("%1 to %2, default %3")
                              .arg(axis.minimum, 0, 'g', 6)
                              .arg(axis.maximum, 0, 'g', 6)
                              .arg(axis.defaultValue, 0, 'g', 6));
        auto* row = new QHBoxLayout;
        row->addWidget(slider, 1);
        row->addWidget(field);
        auto* label = new QLabel(words + u':', this);
        label->setBuddy(field);
        form_->addRow(label, row);
        rows_.push_back({slider, field});
        setTabOrder(before, slider);
        setTabOrder(slider, field);
        before = field;
        connect(slider, &QSlider::valueChanged, this, [this, a, low, high](int step) {
            if (!showing_) setCoordinate(a, low + (high - low) * step / kSliderSteps);
        });
        connect(field, &QDoubleSpinBox::valueChanged, this, [this, a](double value) {
            if (!showing_) setCoordinate(a, value);
        });
    }
    if (axes_.size() > shown) {
        note_->setText(QStringLiteral("%1 more axes stay at their defaults.").arg(axes_.size() - shown));
        note_->show();
    } else {
        note_->hide();
    }
    showing_ = false;
    showCoordinates();
}

void AxisPanel::setCoordinate(std::size_t axis, double value)
{
    if (axis >= coordinates_.size() || coordinates_[axis] == value) return;
    coordinates_[axis] = value;
    showCoordinates();
    emit coordinatesChanged();
}

void AxisPanel::pickInstance(int item)
{
    if (item <= 0 || static_cast<std::size_t>(item) > instanceList_.size()) return;
    coordinates_ = instanceList_[static_cast<std::size_t>(item - 1)].coordinates;
    coordinates_.resize(axes_.size());
    showCoordinates();
    emit coordinatesChanged();
}

void AxisPanel::showCoordinates()
{
    showing_ = true;
    for (std::size_t a = 0; a < rows_.size(); ++a) {
        const double low = rows_[a].field->minimum();
        const double high = rows_[a].field->maximum();
        rows_[a].field->setValue(coordinates_[a]);
        rows_[a].slider->setValue(
            high > low ? static_cast<int>(std::lround((coordinates_[a] - low) / (high - low) * kSliderSteps))
                       : 0);
    }
    // The instance list names the point when an instance lies there.
    auto it = std::find_if(instanceList_.begin(), instanceList_.end(),
                           [&](const opentype::Instance& i) { return i.coordinates == coordinates_; });
    instances_->setCurrentIndex(it == instanceList_.end() ? 0
                                                          : static_cast<int>(it - instanceList_.begin()) + 1);
    showing_ = false;
}

} // namespace quillon::tester
