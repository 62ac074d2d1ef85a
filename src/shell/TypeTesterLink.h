#pragma once
// Ties the type tester to the main window: opens it (Ctrl+T, "Type Tester…" in the face list's context
// menu and in the face information window), and keeps it on the selected face while it is open, with the
// main window's sample text as its text when it first opens. Nothing is read while it is closed.

#include <QPointer>
#include <QString>

#include <functional>

namespace quillon {

namespace platform {
struct Platform;
}
class FaceInformationLink;
class TypeTester;
class Viewer;

class TypeTesterLink {
public:
    /// endProgram runs for Escape with Shift, Ctrl or Alt in the window.
    TypeTesterLink(Viewer& viewer, platform::Platform& platform, FaceInformationLink& faceInformation,
                   std::function<void()> endProgram);

    /// Adds "Type Tester…" to the face list's context menu and to the face information window.
    void attach();
    /// Opens the window on the selected face (or the file the command line named, while it stands for the
    /// selection), or brings it forward.
    void show();
    void close();
    /// The selected face changed.
    void follow();
    /// The open window, or null.
    TypeTester* window() const;

private:
    void showCurrent();

    Viewer& viewer_;
    platform::Platform& platform_;
    FaceInformationLink& faceInformation_;
    std::function<void()> endProgram_;
    QPointer<TypeTester> window_;
};

} // namespace quillon
