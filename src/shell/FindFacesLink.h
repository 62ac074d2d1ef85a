#pragma once
// Ties the Find Faces window to the main window: opens it (Ctrl+F, "Find Faces…" in the face list's and the
// summary's context menus, "Faces with This Character" in the face information), and selects in the main
// window the face chosen in it, as a click in the face list does. The index the window searches is made at
// the first opening and kept until the installed fonts change; nothing is read before.

#include "catalogue/FontCatalogue.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace quillon {

namespace platform {
struct Platform;
}
namespace find {
class FindFaces;
class FindIndex;
} // namespace find
class FaceInformationLink;
class Viewer;

class FindFacesLink {
public:
    /// endProgram runs for Escape with Shift, Ctrl or Alt in the window.
    FindFacesLink(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
                  std::function<void()> endProgram);
    ~FindFacesLink();

    /// Opens the window, or brings it forward.
    void show();
    /// Opens it on the faces with every character of `text`, every other filter off.
    void findCharacters(const QString& text);
    /// Adds "Find Faces…" to the face list's context menu, after the face information's entries.
    void attach(FaceInformationLink& faceInformation);
    void close();
    /// The catalogue was rebuilt: an open window's index surveys the faces again; a closed window's index
    /// is dropped, to be made at the next opening.
    void fontsChanged();
    /// The open window, or null.
    find::FindFaces* window() const;

private:
    void selectFace(const QString& face);

    Viewer& viewer_;
    platform::Platform& platform_;
    const FontCatalogue& catalogue_;
    std::function<void()> endProgram_;
    std::unique_ptr<find::FindIndex> index_;
    QPointer<find::FindFaces> window_;
};

} // namespace quillon
