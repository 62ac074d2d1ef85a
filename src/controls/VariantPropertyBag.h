#pragma once
// A property store held in a QVariantMap: what a window definition built in code hands its controls, and
// what a saved definition is written into. Values equal to their default are not kept.

#include "controls/PropertyBag.h"

#include <QVariantMap>

namespace quillon {

class VariantPropertyBag : public PropertyBag {
public:
    VariantPropertyBag() = default;
    explicit VariantPropertyBag(QVariantMap contents) : contents_(std::move(contents)) {}

    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) override;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) override;

    const QVariantMap& contents() const { return contents_; }

private:
    QVariantMap contents_;
};

} // namespace quillon
