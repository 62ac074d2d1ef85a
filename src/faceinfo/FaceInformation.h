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

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace quillon {

namespace faceinfo {
class CharactersView;
}

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
    /// Shows the first face of a font file read as it is, installed or not; nothing is added to the font
    /// system for it. Read as setFace reads; the next setFace leaves it.
    void setFile(const QString& path);
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
    QTabWidget* tabs;
    QTreeWidget* filesTable;
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

    platform::Platform& platform_;
    std::function<void()> endProgram_;
    faceinfo::FaceInfoReader reader_;
    faceinfo::FaceInfo info_;
    QString face_;
    QString file_; // shown instead of face_ when set
    QString sampleText_;
    bool pending_ = false;
    QHBoxLayout* heading_;
};

} // namespace quillon
