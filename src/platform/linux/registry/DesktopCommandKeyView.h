#pragma once
// One shell command key of a font file class (for example ttffile\shell\open\command) as a registry key
// whose default value is the desktop's command for that kind and verb (see DesktopAssociations). Mounted
// under HKEY_CLASSES_ROOT and under HKEY_LOCAL_MACHINE\software\classes alike: a desktop user has no
// machine-wide association store of their own, and what counts for them is what their session uses.

#include "platform/MemoryRegistry.h"
#include "platform/RegistryView.h"
#include "platform/linux/xdg/DesktopAssociations.h"

#include <QString>

namespace quillon::platform {

class DesktopCommandKeyView final : public RegistryView {
public:
    /// associations: shared by every command key view, outlives them.
    DesktopCommandKeyView(DesktopAssociations& associations, QString extension,
                          DesktopAssociations::Verb verb);

    /// The default value as REG_SZ, when the kind has a command for the verb.
    std::vector<RegistryValue> values() override;
    bool writable() const override { return true; }
    /// Only the default value, as text (REG_SZ or REG_EXPAND_SZ); other values have no place in the
    /// desktop and are refused.
    LONG setValue(const RegistryValue& value) override;
    /// Removing the default value takes the program's command off the kind (see removeCommand).
    LONG deleteValue(const std::string& name) override;
    std::string problem() const override { return associations_.problem().toStdString(); }

    /// The registry key path of a kind's command for a verb, relative to HKEY_CLASSES_ROOT.
    static std::string keyPath(const QString& extension, DesktopAssociations::Verb verb);
    /// Mounts the open and print command keys of the five kinds under HKEY_CLASSES_ROOT and under
    /// HKEY_LOCAL_MACHINE\software\classes, so that those keys exist and can be opened and created.
    static void mountAll(MemoryRegistry& registry, DesktopAssociations& associations);

private:
    DesktopAssociations& associations_;
    QString extension_;
    DesktopAssociations::Verb verb_;
};

} // namespace quillon::platform
