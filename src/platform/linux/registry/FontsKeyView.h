#pragma once
// HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" on Linux: read-only, one REG_SZ
// value per installed font file, named as Windows names them (rules in FontsKeyBuilder.h), whose data is
// the bare file name followed by a NUL terminator, as Windows stores it.

#include "platform/RegistryView.h"

#include <vector>

namespace quillon::platform {

class InstalledFontFiles;

class FontsKeyView final : public RegistryView {
public:
    /// fonts must outlive the view.
    explicit FontsKeyView(InstalledFontFiles& fonts) : fonts_(fonts) {}

    /// The same values on every open: the fonts are listed on the first one.
    std::vector<RegistryValue> values() override;

private:
    InstalledFontFiles& fonts_;
};

} // namespace quillon::platform
