#pragma once
// The program's start: stores the command line, hands it to a copy that is already running, or builds the
// start-up texts and shows the main window.

#include "base/FontModule.h"
#include "catalogue/FontCatalogue.h"
#include "display/TextMeasurer.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace quillon {

namespace platform {
struct Platform;
class InstanceChannel;
} // namespace platform
class ScreenFit;
class Viewer;

/// The command line as stored and compared: the arguments joined by blanks, lower-cased.
QString commandLineFrom(const QStringList& arguments);

/// The font file the arguments name (after the print switch), made absolute against `currentFolder`, in
/// the arguments' own spelling; empty when they name none.
QString commandLineFileFrom(const QStringList& arguments, const QString& currentFolder);

/// The executable's path as the shell commands use it: absolute, quoted when it holds a blank.
QString exeShortPathFor(const QString& executablePath);

class Main {
public:
    Main(platform::Platform& platform, platform::InstanceChannel& channel);
    ~Main();

    /// Runs the start. Returns -1 when the main window is shown and the event loop must run, else the
    /// process's exit status (0 after a hand-off).
    int start(const QStringList& arguments, const QString& executablePath);

    /// Tells the user why this start could not do what it should (the running copy did not answer): on the
    /// terminal, and in a message box when there is a display. Tests replace it.
    std::function<void(const QString& text)> showProblem;

    FontModule& module() { return module_; }
    FontCatalogue& catalogue() { return catalogue_; }
    Viewer* viewer() { return viewer_.get(); }

private:
    /// Makes the application's font name an installed face (see Main.cpp).
    void useKnownInterfaceFace();
    /// Finishes an options save that an earlier run did not live to end.
    void finishOptionsSave();

    platform::Platform& platform_;
    platform::InstanceChannel& channel_;
    FontModule module_;
    FontCatalogue catalogue_;
    ScreenTextMeasurer measurer_;
    std::unique_ptr<ScreenFit> screenFit_; // before the viewer, so it outlives every window
    std::unique_ptr<Viewer> viewer_;
};

} // namespace quillon
