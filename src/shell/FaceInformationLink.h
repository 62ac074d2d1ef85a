#pragma once
// Ties the face information window to the main window: opens it (Ctrl+I, the face list's context menu),
// keeps it on the selected face and the sample text while it is open, and gives the sample picture a tooltip
// that names the characters of the sample the face lacks. Nothing is read while the window is closed; the
// tooltip reads only when it is asked for.

#include "catalogue/FontCatalogue.h"
#include "faceinfo/FaceInformation.h"

#include <QKeySequence>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QMenu;

namespace quillon {

namespace platform {
struct Platform;
}
class FaceInformation;
class Viewer;

class FaceInformationLink {
public:
    /// endProgram runs for Escape with Shift, Ctrl or Alt in the window.
    FaceInformationLink(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
                        std::function<void()> endProgram);

    /// Adds the context menu to the face list and the tooltip to the sample picture.
    void attach();
    /// Opens the window on the selected face, or brings it forward.
    void show();
    /// The command line named a font file that is not installed: the window shows that file, read from it,
    /// until the main window selects another face (empty: no such file).
    void offerFile(const QString& path);
    /// Opens the window on the offered file, once no message waits for its OK (the "not registered"
    /// message comes first); nothing when no readable file is offered.
    void showOffered();
    /// The installed fonts changed: the open window reads its face or file again.
    void fontsChanged();
    /// What the window's Install and Remove… buttons and a drop on it do (set on every window opened).
    void setInstallActions(FaceInformation::InstallActions actions);
    void close();
    /// The selected face or the sample text changed.
    void follow();
    /// The open window, or null.
    FaceInformation* window() const;

    /// The tooltip of the sample picture: the characters of the sample text the face lacks; empty when it
    /// has them all.
    QString missingCharactersTip() const;

    /// The font file offered instead of the selection (offerFile), while it stands for it; empty otherwise.
    const QString& offeredFile() const { return file_; }
    /// Another window's entry in the face list's context menu, after "Face Information…", running `open`;
    /// with `button`, also a button in the face information window that runs it.
    void addCompanion(const QString& text, const QString& objectName, const QKeySequence& shortcut,
                      std::function<void()> open, bool button = true);
    /// What the window's "Faces with This Character" does with the character.
    std::function<void(const QString& text)> findFaces;

private:
    Viewer& viewer_;
    platform::Platform& platform_;
    const FontCatalogue& catalogue_;
    std::function<void()> endProgram_;
    QString file_;     // the offered file, while it stands for the selection
    QString fileFace_; // the face selected when it was offered
    QPointer<FaceInformation> window_;
    FaceInformation::InstallActions installActions_;
    struct Companion {
        QString text;
        QString objectName;
        QKeySequence shortcut;
        std::function<void()> open;
        bool button = true;
    };
    std::vector<Companion> companions_;
};

} // namespace quillon
