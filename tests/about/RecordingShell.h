#pragma once
// A shell that records what it was asked to open or start and answers as told.

#include "platform/Shell.h"

#include <QStringList>
#include <QUrl>

#include <vector>

namespace quillon::test {

class RecordingShell final : public platform::Shell {
public:
    bool openUrl(const QUrl& url) override
    {
        opened.push_back(url);
        return openSucceeds;
    }
    bool startProgram(const QString& path) override
    {
        started << path;
        return startSucceeds;
    }

    std::vector<QUrl> opened;
    QStringList started;
    bool openSucceeds = true;
    bool startSucceeds = true;
};

} // namespace quillon::test
