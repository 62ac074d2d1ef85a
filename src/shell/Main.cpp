#include "shell/Main.h"

#include "catalogue/CommandLineSelection.h"
#include "controls/Captions.h"
#include "options/FileAssociations.h"
#include "options/OptionsChange.h"
#include "platform/InstanceChannel.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"
#include "platform/ScreenFace.h"
#include "platform/SettingsStore.h"
#include "platform/WindowActivation.h"
#include "registry/RegistryModule.h"
#include "shell/ScreenFit.h"
#include "shell/Viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace quillon {

namespace {

void tellTerminal(const QString& text)
{
    std::fprintf(stderr, "quillon: %s\n", platform::nativeBytes(text).constData());
}

/// Whether message boxes can be seen: not on the offscreen platform the tests and scripts use.
bool hasDisplay()
{
    const QString name = QGuiApplication::platformName();
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

} // namespace

QString commandLineFrom(const QStringList& arguments)
{
    return platform::lowerCased(arguments.join(QLatin1Char(' ')));
}

QString commandLineFileFrom(const QStringList& arguments, const QString& currentFolder)
{
    QString text = arguments.join(QLatin1Char(' '));
    if (hasPrintSwitch(platform::lowerCased(text))) text = text.mid(3);
    if (text.isEmpty()) return {};
    return QDir::isAbsolutePath(text) ? text : QDir(currentFolder).absoluteFilePath(text);
}

QString exeShortPathFor(const QString& executablePath)
{
    const QString path = QFileInfo(executablePath).absoluteFilePath();
    if (path.contains(QLatin1Char(' ')) || path.contains(QLatin1Char('\t')))
        return QLatin1Char('"') + path + QLatin1Char('"');
    return path;
}

Main::Main(platform::Platform& platform, platform::InstanceChannel& channel)
    : platform_(platform), channel_(channel)
{
    showProblem = [](const QString& text) {
        tellTerminal(text);
        if (hasDisplay()) QMessageBox::warning(nullptr, kAppTitle, text);
    };
}

Main::~Main() = default;

void Main::finishOptionsSave()
{
    // Before anything reads the options: the desktop and the settings then say the same thing again.
    RegistryModule routines(platform_.registry);
    FileAssociations associations(routines, platform_.settings, module_);
    OptionsChange(associations, routines, platform_.settings).finishInterrupted();
}

void Main::useKnownInterfaceFace()
{
    // Widgets lay their text out in the application's font before their own applies (a line edit does while
    // it is built), and that font names the desktop's generic family ("Sans Serif"), which no installed face
    // has: Qt would then sort every installed family for a substitute, seconds with tens of thousands of
    // fonts. The captions' face is an installed one, found through the font mapper, and every window sets
    // its captions in it.
    captions::useStandIn(platform_.fontSystem, platform_.faceRasterizer);
}

int Main::start(const QStringList& arguments, const QString& executablePath)
{
    module_.commandLine = commandLineFrom(arguments);
    platform_.settings.SaveSetting(kAppTitle, kSettingsSection, QStringLiteral("CommandLine"),
                                   module_.commandLine);
    // The file itself, for the face information of a file that is not installed; a running copy takes it
    // over with the command line.
    module_.commandLineFile = commandLineFileFrom(arguments, QDir::currentPath());
    platform_.settings.SaveSetting(kAppTitle, kSettingsSection, QStringLiteral("CommandLineFile"),
                                   module_.commandLineFile);
    if (const QString damaged = platform_.settings.damagedFile(); !damaged.isEmpty())
        tellTerminal(
            QStringLiteral("the settings file %1 is not understood and is left as it is; default settings "
                           "are used")
                .arg(damaged));

    // The token a launcher gave this start lets the running copy's window come forward on Wayland.
    const QString activationToken = platform::takeActivationToken();
    const auto claim = channel_.claim();
    if (claim == platform::InstanceChannel::Claim::Running) {
        // The command line goes with the request: the setting saved above is shared by every start, so a
        // start right after this one (or a settings file that could not be written) would lose it.
        platform::HandOffRecord request;
        request.windowTitle = kViewerCaption;
        request.commandLine = module_.commandLine;
        request.file = module_.commandLineFile;
        request.activationToken = activationToken;
        if (channel_.handOff(request)) return 0;
        // Never a second running copy: this start ends, and says why.
        showProblem(QStringLiteral("Quillon is already running, but %1. This start was given up.")
                        .arg(channel_.problem()));
        return 1;
    }
    if (claim == platform::InstanceChannel::Claim::Unavailable) {
        // Running on alone is better than not at all, but a later start will not find this copy.
        tellTerminal(channel_.problem() + QStringLiteral("; running without the single-instance check, so a "
                                                         "later start opens a copy of its own"));
    }

    module_.fontExtensions = {QStringLiteral("fon"), QStringLiteral("otf"), QStringLiteral("pfm"),
                              QStringLiteral("ttc"), QStringLiteral("ttf"), QString()};
    module_.exeShortPath = exeShortPathFor(executablePath);
    module_.viewCommand = module_.exeShortPath + QStringLiteral(" %1");
    module_.printCommand = module_.exeShortPath + QStringLiteral(" /p %1");
    finishOptionsSave();

    useKnownInterfaceFace();
    screenFit_ = std::make_unique<ScreenFit>();
    viewer_ = std::make_unique<Viewer>(platform_, module_, catalogue_, measurer_);
    viewer_->Form_Load();
    if (viewer_->ended()) return 0;
    viewer_->show();
    channel_.setHandOffHandler(
        [this](const platform::HandOffRecord& request) { return viewer_->receiveHandOff(request); });
    return -1;
}

} // namespace quillon
