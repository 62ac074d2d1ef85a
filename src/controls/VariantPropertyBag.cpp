#include "controls/VariantPropertyBag.h"

namespace quillon {

QVariant VariantPropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue)
{
    auto it = contents_.constFind(name);
    return it == contents_.constEnd() ? defaultValue : it.value();
}

void VariantPropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                       const QVariant& defaultValue)
{
    // A default is dropped rather than stored, so a later change of the default reaches old definitions.
    if (value == defaultValue)
        contents_.remove(name);
    else
        contents_.insert(name, value);
}

} // namespace quillon
