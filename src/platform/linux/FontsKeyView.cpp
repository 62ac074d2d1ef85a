#include "platform/linux/FontsKeyView.h"

#include "platform/linux/InstalledFonts.h"

namespace quillon::platform {

std::vector<RegistryValue> FontsKeyView::values()
{
    if (!built_) {
        built_ = true;
        const auto& entries = fonts_.entries();
        values_.reserve(entries.size());
        for (const FontsKeyEntry& entry : entries) {
            const auto slash = entry.file.rfind('/');
            std::string data = slash == std::string::npos ? entry.file : entry.file.substr(slash + 1);
            data += '\0';
            values_.push_back({entry.name, REG_SZ, std::move(data)});
        }
    }
    return values_;
}

} // namespace quillon::platform
