#include "printing/UpDownAccessible.h"

#include "controls/AccessibleControls.h"
#include "printing/UpDown.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace quillon::accessibility {

namespace {

class UpDownInterface final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit UpDownInterface(UpDown* upDown) : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

    UpDown* upDown() const { return static_cast<UpDown*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return QString::number(upDown()->Value());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return upDown()->Value(); }
    // Set as the arrows set it: a step at a time, each reported, so the host keeps its field in step.
    void setCurrentValue(const QVariant& value) override
    {
        const int target = value.toInt();
        for (int guard = 0; upDown()->Value() < target && guard < 1000; ++guard) upDown()->clickUp();
        for (int guard = 0; upDown()->Value() > target && guard < 1000; ++guard) upDown()->clickDown();
    }
    QVariant maximumValue() const override { return upDown()->Max(); }
    QVariant minimumValue() const override { return upDown()->Min(); }
    QVariant minimumStepSize() const override { return upDown()->Increment(); }
};

QAccessibleInterface* upDownFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("quillon::UpDown")) return nullptr;
    return new UpDownInterface(static_cast<UpDown*>(object));
}

} // namespace

void installUpDown()
{
    installControls();
    QAccessible::installFactory(upDownFactory);
}

} // namespace quillon::accessibility
