#pragma once
// The store of a user control's persisted properties, kept by the hosting window with its definition.
// Controls read it once as the window is created and write it when the definition is saved; each
// property is read and written with its default, so a store that lacks a key reads as that default.

#include <QString>
#include <QVariant>

namespace quillon {

class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    /// The value stored under name, or defaultValue when nothing is stored there.
    virtual QVariant ReadProperty(const QString& name, const QVariant& defaultValue) = 0;
    /// Stores value under name. A realisation may leave out a value equal to defaultValue, since reading
    /// gives that default back anyway.
    virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) = 0;
};

} // namespace quillon
