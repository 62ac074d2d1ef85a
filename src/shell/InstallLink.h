#pragma once
// Ties installing and removing fonts to the windows: files, folders and archives dropped on the main window
// or the face information open the install list; the face information's Install button installs the file
// it shows, its Remove… button moves an installed file of the user's to the trash. Once files were
// installed the catalogue has been rebuilt (the font system's change listener), and the face of the first
// file installed is selected in the main window, as opening that file selects it.

#include "catalogue/FontCatalogue.h"
#include "install/InstallDialogs.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace quillon {

namespace platform {
struct Platform;
}
namespace install {
class InstallList;
}
class FaceInformationLink;
class Viewer;

class InstallLink final : public QObject {
    Q_OBJECT
public:
    InstallLink(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
                FaceInformationLink& faceInformation);
    ~InstallLink() override;

    /// Takes drops on the main window and gives the face information its install actions.
    void attach();
    /// Opens the install list on `paths` (a list already open takes them in as well).
    void openList(const QStringList& paths);
    /// The face information's Install button.
    void installFile(const QString& path, QWidget* over);
    /// The face information's Remove… button.
    void removeFile(const QString& path, QWidget* over);
    /// Selects the face of the first of the files installed.
    void selectInstalled(const QStringList& copied);

    /// The open install list, or null.
    install::InstallList* list() const;

private:
    Viewer& viewer_;
    platform::Platform& platform_;
    const FontCatalogue& catalogue_;
    FaceInformationLink& faceInformation_;
    QPointer<install::InstallList> list_;

public:
    /// Where the messages and questions go; tests put a recorder here.
    std::unique_ptr<install::Conversation> talk;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quillon
