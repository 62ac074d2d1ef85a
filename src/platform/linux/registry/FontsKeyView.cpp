#include "platform/linux/registry/FontsKeyView.h"

#include "platform/linux/registry/InstalledFontFiles.h"

namespace quillon::platform {

std::vector<RegistryValue> FontsKeyView::values()
{
    const auto& entries = fonts_.entries();
    std::vector<RegistryValue> values;
    values.reserve(entries.size());
    for (const FontsKeyEntry& entry : entries) {
        const auto slash = entry.file.rfind('/');
        std::string data = slash == std::string::npos ? entry.file : entry.file.substr(slash + 1);
        data += '\0';
        values.push_back({entry.name, REG_SZ, std::move(data)});
    }
    return values;
}

} // namespace quillon::platform
