#include "shell/Main.h"

#include "platform/InstanceChannel.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "shell/Viewer.h"

#include <QFileInfo>

#include <cstdio>

namespace quillon {

QString commandLineFrom(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' ')).toLower();
}

QString exeShortPathFor(const QString& executablePath)
{
    const QString path = QFileInfo(executablePath).absoluteFilePath();
    if (path.contains(QLatin1Char(' ')) || path.contains(QLatin1Char('\t')))
        return QLatin1Char('"') + path + QLatin1Char('"');
    return path;
}

Main::Main(platform::Platform& platform, platform::InstanceChannel& channel) : platform_(platform), channel_(channel)
{
}

Main::~Main() = default;

int Main::start(const QStringList& arguments, const QString& executablePath)
{
    module_.commandLine = commandLineFrom(arguments);
    platform_.settings.SaveSetting(kAppTitle, kSettingsSection, QStringLiteral("CommandLine"), module_.commandLine);

    const auto claim = channel_.claim();
    if (claim == platform::InstanceChannel::Claim::Running) {
        if (channel_.handOff(kViewerCaption)) return 0;
        std::fputs("quillon: the running copy did not answer the hand-off\n", stderr);
        return 1;
    }
    // Unavailable: no channel can be made (no private runtime folder); run on alone rather than not at all.

    module_.fontExtensions = {QStringLiteral("fon"), QStringLiteral("otf"), QStringLiteral("pfm"),
                              QStringLiteral("ttc"), QStringLiteral("ttf"), QString()};
    module_.exeShortPath = exeShortPathFor(executablePath);
    module_.viewCommand = module_.exeShortPath + QStringLiteral(" %1");
    module_.printCommand = module_.exeShortPath + QStringLiteral(" /p %1");

    viewer_ = std::make_unique<Viewer>(platform_, module_, catalogue_, measurer_);
    viewer_->Form_Load();
    if (viewer_->ended()) return 0;
    viewer_->show();
    channel_.setHandOffHandler([this](const QString& title) { return viewer_->receiveHandOff(title); });
    return -1;
}

} // namespace quillon
