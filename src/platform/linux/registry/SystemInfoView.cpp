#include "platform/linux/registry/SystemInfoView.h"

#include <QStandardPaths>

namespace quillon::platform {

QStringList SystemInfoView::candidates()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("cpu-x")};
}

SystemInfoView::SystemInfoView(QStringList searchPaths) : searchPaths_(std::move(searchPaths)) {}

std::vector<RegistryValue> SystemInfoView::values()
{
    for (const QString& name : candidates()) {
        const QString path = QStandardPaths::findExecutable(name, searchPaths_);
        if (path.isEmpty()) continue;
        std::string data = path.toStdString();
        data.push_back('\0');
        return {RegistryValue{"PATH", REG_SZ, std::move(data)}};
    }
    return {};
}

} // namespace quillon::platform
