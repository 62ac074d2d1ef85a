#pragma once
// The system information key (HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO"): its value "PATH" names the
// first system information program found on the search path, as REG_SZ with a stored terminator the way
// Windows setup writes it. Without any of them the key has no values, so a reader sees no "PATH".

#include "platform/RegistryView.h"

#include <QStringList>

namespace quillon::platform {

class SystemInfoView final : public RegistryView {
public:
    /// The programs looked for, in order of preference.
    static QStringList candidates();

    /// searchPaths: folders to look in; empty means the PATH of the environment.
    explicit SystemInfoView(QStringList searchPaths = {});

    /// Looked up afresh on each open, so a tool installed while the program runs is found.
    std::vector<RegistryValue> values() override;

private:
    QStringList searchPaths_;
};

} // namespace quillon::platform
