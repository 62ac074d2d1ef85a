#pragma once
// The main window's companions: the windows it opens and closes (summary, printer setup, options, About,
// splash), the round help button, the catalogue build into the face list and the details text. Kept apart
// from Viewer so the window itself stays a layout and its handlers.

#include "base/FontModule.h"
#include "catalogue/FontCatalogue.h"

#include <QIcon>
#include <QPointer>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace quillon {

namespace platform {
struct Platform;
}
class FaceInformationLink;
class InstallLink;
class TypeTesterLink;
class FindFacesLink;
class Viewer;

class ViewerWindows {
public:
    ViewerWindows(Viewer& viewer, platform::Platform& platform, FontModule& module, FontCatalogue& catalogue);
    ~ViewerWindows();

    QIcon windowIcon() const;
    /// The round "?" button, a child of the main window; its click runs HelpButton_Click.
    QWidget* makeHelpButton();

    /// Builds the catalogue and fills the main window's face list (the caller holds loadingList).
    void loadFontList();
    /// Starts following the fonts installed and removed while the program runs.
    void watchFonts();
    /// The installed fonts changed (`why`, in words): the catalogue is built again as at the start, the
    /// face selected stays when it is still listed (else the first is selected), and the open windows
    /// follow.
    void fontsChanged(const QString& why);
    /// Fills the details box and the copyright label for a face.
    void showFontDetails(const QString& face, QPlainTextEdit& detailText, QLabel& copyright);

    void showSplash();
    void closeSplash();
    void showSummary();
    void closeSummary();
    /// Modal: returns when the dialog is closed.
    void showPrinterSetup();
    /// The printer dialog over `over` (the summary window) for a book of these faces instead of the sample
    /// page; OK prints it once the dialog has gone, with a progress window that can cancel it, the windows
    /// usable meanwhile. Returns when the book is done.
    void showBookPrinterSetup(const QStringList& faces, QWidget* over);
    void closePrinterSetup();
    void showOptions();
    void closeOptions();
    void showAbout();
    void closeAbout();
    /// The face information window and its hooks in the main window.
    FaceInformationLink& faceInformation();
    /// The type tester and its hooks in the main window.
    TypeTesterLink& typeTester();
    /// The Find Faces window.
    FindFacesLink& findFaces();
    /// Installing and removing fonts: the install list, drops, the face information's buttons.
    InstallLink& install();
    /// Escape with Shift, Ctrl or Alt in a secondary window: every window closes and the program ends.
    void endProgram();

private:
    void printBook(const QStringList& faces, const QPointer<QWidget>& window, int copies);
    struct Parts;
    Viewer& viewer_;
    platform::Platform& platform_;
    FontModule& module_;
    FontCatalogue& catalogue_;
    std::unique_ptr<Parts> parts_;
};

} // namespace quillon
