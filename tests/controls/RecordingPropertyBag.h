#pragma once
// A property store that answers from a map and writes down every read and write in order, so a test can
// check the order in which a control reads and writes its properties and the defaults it gives.

#include "controls/PropertyBag.h"

#include <QStringList>
#include <QVariantMap>

namespace quillon::test {

class RecordingPropertyBag : public PropertyBag {
public:
    explicit RecordingPropertyBag(QVariantMap stored = {}) : stored(std::move(stored)) {}

    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) override
    {
        reads << name;
        readDefaults.insert(name, defaultValue);
        return stored.contains(name) ? stored.value(name) : defaultValue;
    }
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) override
    {
        writes << name;
        written.insert(name, value);
        writeDefaults.insert(name, defaultValue);
    }

    QVariantMap stored;
    QStringList reads;
    QStringList writes;
    QVariantMap readDefaults;
    QVariantMap written;
    QVariantMap writeDefaults;
};

} // namespace quillon::test
