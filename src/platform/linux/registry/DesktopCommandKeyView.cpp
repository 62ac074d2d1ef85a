#include "platform/linux/registry/DesktopCommandKeyView.h"

#include "platform/NativeText.h"

namespace quillon::platform {

DesktopCommandKeyView::DesktopCommandKeyView(DesktopAssociations& associations, QString extension,
                                             DesktopAssociations::Verb verb)
    : associations_(associations), extension_(std::move(extension)), verb_(verb)
{
}

std::vector<RegistryValue> DesktopCommandKeyView::values()
{
    const auto command = associations_.command(extension_, verb_);
    if (!command) return {};
    return {{std::string(), REG_SZ, nativeBytes(*command).toStdString()}};
}

LONG DesktopCommandKeyView::setValue(const RegistryValue& value)
{
    if (!value.name.empty() || (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return ERROR_ACCESS_DENIED;
    return associations_.setCommand(extension_, verb_, fromNativeBytes(value.data));
}

LONG DesktopCommandKeyView::deleteValue(const std::string& name)
{
    if (!name.empty()) return ERROR_FILE_NOT_FOUND;
    return associations_.removeCommand(extension_, verb_);
}

std::string DesktopCommandKeyView::keyPath(const QString& extension, DesktopAssociations::Verb verb)
{
    const char* shellVerb = verb == DesktopAssociations::Verb::Open ? "open" : "print";
    return extension.toStdString() + "file\\shell\\" + shellVerb + "\\command";
}

void DesktopCommandKeyView::mountAll(MemoryRegistry& registry, DesktopAssociations& associations)
{
    for (const char* extension : {"fon", "otf", "pfm", "ttc", "ttf"}) {
        for (const auto verb : {DesktopAssociations::Verb::Open, DesktopAssociations::Verb::Print}) {
            const QString kind = QLatin1String(extension);
            const std::string path = keyPath(kind, verb);
            registry.mount(HKEY_CLASSES_ROOT, path,
                           std::make_unique<DesktopCommandKeyView>(associations, kind, verb));
            registry.mount(HKEY_LOCAL_MACHINE, "software\\classes\\" + path,
                           std::make_unique<DesktopCommandKeyView>(associations, kind, verb));
        }
    }
}

} // namespace quillon::platform
