#pragma once
// The face information window: everything about the face selected in the main window, in six tabs (Files,
// Names, Coverage, Characters, OpenType, Licence). It follows the main window's face while it is open and
// reads the face only then, after the selection has settled; closed, it costs the main window nothing. Escape
// closes it.
//
// A top-level window owned by the main window; it does not keep the program running on its own.

#include "catalogue/FontCatalogue.h"
#include "faceinfo/FaceInfo.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace quillon {

namespace faceinfo {
class CharactersView;
class FaceSample;
} // namespace faceinfo

namespace platform {
struct Platform;
}

class FaceInformation : public QWidget {
    Q_OBJECT
public:
    /// platform and catalogue must outlive the window; endProgram (may be empty) ends the whole program.
    FaceInformation(platform::Platform& platform, const FontCatalogue& catalogue,
                    std::function<void()> endProgram = {}, QWidget* parent = nullptr);

    /// Shows `face`, read once the current event is done (several changes in a row read only the last face).
    void setFace(const QString& face);
    /// Shows face `index` of a font file read as it is, installed or not; nothing is added to the font
    /// system for it. Read as setFace reads; the next setFace leaves it. A file of several faces offers
    /// them in faceChoice.
    void setFile(const QString& path, int index = 0);
    /// Reads what the window shows again: the installed fonts changed.
    void reread();

    /// What the window's install and remove controls do; each may be empty (the control is then not
    /// offered). `install` gets a file that is not installed, `remove` an installed file of the user's own
    /// folders, `drop` the files, folders and archives dropped on the window.
    struct InstallActions {
        std::function<void(const QString& path)> install;
        std::function<void(const QString& path)> remove;
        std::function<void(const QStringList& paths)> drop;
    };
    void setInstallActions(InstallActions actions);
    /// The sample text whose missing characters the Coverage tab names.
    void setSampleText(const QString& text);
    /// A button beside the face's name that opens another window on the face (`open` runs on a click).
    QPushButton* addButton(const QString& text, const QString& objectName, std::function<void()> open);
    /// What the Characters tab's "Faces with This Character" does with the character.
    void setFindFaces(std::function<void(const QString& text)> find);

    const QString& face() const { return face_; }
    /// What the window shows now; read at once when a face is still pending.
    const faceinfo::FaceInfo& info();

    QLabel* faceName;
    faceinfo::FaceSample* faceSample;
    QComboBox* faceChoice;      // the faces of a file of several, when a file is shown
    QPushButton* installButton; // for a file that is not installed
    QTabWidget* tabs;
    QTreeWidget* filesTable;
    QLabel* originLabel; // where the chosen file comes from
    QPushButton* removeButton;
    QPushButton* openFolderButton;
    QTreeWidget* namesTable;
    QTextBrowser* coverageText;
    faceinfo::CharactersView* charactersView;
    QTextBrowser* openTypeText;
    QTextBrowser* licenceText;

    /// keyCode and shift as WindowsKeys reports them.
    void Form_KeyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void refresh();
    void readLater();
    void fillFiles();
    void fillNames();
    void fillCoverage();
    void fillOpenType();
    void fillLicence();
    void openFolder();
    void openLink(const QUrl& url);
    void fillHeader();
    void fillFaceChoice();
    void showOrigin();
    /// The files row chosen in the Files tab (the described one when none is), or -1.
    int chosenRow() const;

    platform::Platform& platform_;
    std::function<void()> endProgram_;
    faceinfo::FaceInfoReader reader_;
    faceinfo::FaceInfo info_;
    QString face_;
    QString file_; // shown instead of face_ when set
    int fileIndex_ = 0;
    QString choices_; // the file faceChoice lists the faces of
    InstallActions actions_;
    QString sampleText_;
    bool pending_ = false;
    QHBoxLayout* heading_;
};

} // namespace quillon
