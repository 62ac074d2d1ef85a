#pragma once
// A spin control without a text of its own: two arrow buttons stacked, a value between a minimum and a
// maximum. A click steps the value (never past the bounds) and then reports UpClick or DownClick, so the
// host can mirror the value into a field of its own. The arrow keys act as the buttons while it has focus.

#include <QWidget>

class QToolButton;

namespace quillon {

class UpDown final : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int Value() const { return value_; }
    /// A value outside Min..Max is refused and the value stays as it was; returns whether it was taken.
    bool setValue(int value);
    int Min() const { return min_; }
    int Max() const { return max_; }
    /// Sets both bounds; the value is pulled inside them.
    void setRange(int min, int max);
    int Increment() const { return increment_; }
    void setIncrement(int increment) { increment_ = increment > 0 ? increment : 1; }

    /// What a click on an arrow does: step, then report.
    void clickUp();
    void clickDown();

signals:
    void UpClick();
    void DownClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    int value_ = 0;
    int min_ = 0;
    int max_ = 10;
    int increment_ = 1;
};

} // namespace quillon
