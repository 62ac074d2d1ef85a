#pragma once
// The type tester's controls for a variable face: its named instances to pick from, and for each axis a
// slider and a number field (from the axis's minimum to its maximum, named with its tag, hidden axes
// marked). Each change reports the whole point of the design space at once.

#include "opentype/LayoutTables.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QSlider;

namespace quillon::tester {

class AxisPanel : public QWidget {
    Q_OBJECT
public:
    /// More axes than this are not given controls (they stay at their defaults): real fonts have a dozen at
    /// most, and a crafted one with thousands must not make thousands of controls.
    static constexpr std::size_t kMostAxes = 64;

    explicit AxisPanel(QWidget* parent = nullptr);

    /// The face's axes and instances, shown at `coordinates` (one per axis).
    void setAxes(const std::vector<opentype::Axis>& axes, const std::vector<opentype::Instance>& instances,
                 const std::vector<double>& coordinates);
    /// One design coordinate per axis.
    const std::vector<double>& coordinates() const { return coordinates_; }
    QComboBox* instanceList() const { return instances_; }
    QDoubleSpinBox* field(std::size_t axis) const;
    QSlider* slider(std::size_t axis) const;

signals:
    void coordinatesChanged();

private:
    struct Row {
        QSlider* slider;
        QDoubleSpinBox* field;
    };
    void setCoordinate(std::size_t axis, double value);
    void pickInstance(int item);
    void showCoordinates();

    QFormLayout* form_;
    QComboBox* instances_;
    QLabel* note_;
    std::vector<opentype::Axis> axes_;
    std::vector<opentype::Instance> instanceList_;
    std::vector<double> coordinates_;
    std::vector<Row> rows_;
    bool showing_ = false;
};

} // namespace quillon::tester
