#include "shell/FindFacesLink.h"

#include "shell/FaceInformationLink.h"

#include "find/FindFaces.h"
#include "find/FindIndex.h"
#include "platform/Platform.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>

namespace quillon {

FindFacesLink::FindFacesLink(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
                             std::function<void()> endProgram)
    : viewer_(viewer), platform_(platform), catalogue_(catalogue), endProgram_(std::move(endProgram))
{
}

FindFacesLink::~FindFacesLink()
{
    // The window searches the index: it goes first.
    delete window_.data();
}

void FindFacesLink::show()
{
    if (!window_) {
        if (!index_) index_ = std::make_unique<find::FindIndex>(platform_.faceSurvey, catalogue_);
        find::FindFaces::Owner owner;
        owner.selectFace = [this](const QString& face) { selectFace(face); };
        owner.sampleText = [this] { return viewer_.displayText->toPlainText(); };
        owner.endProgram = endProgram_;
        window_ = new find::FindFaces(*index_, platform_, std::move(owner), &viewer_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the main window where the screen has room, so the face chosen shows there uncovered.
        const QRect frame = viewer_.frameGeometry();
        const QScreen* screen = viewer_.screen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        const int width = window_->frameGeometry().width() + 16; // the frame is not known before it shows
        QPoint at = frame.topRight() + QPoint(8, 0);
        if (room.isValid() && at.x() + width > room.right()) {
            at = QPoint(frame.left() - 8 - width, frame.top());
            if (at.x() < room.left()) at = QPoint(std::max(room.left(), room.right() - width), frame.top());
        }
        window_->move(at);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void FindFacesLink::findCharacters(const QString& text)
{
    show();
    window_->findCharacters(text);
}

void FindFacesLink::attach(FaceInformationLink& faceInformation)
{
    faceInformation.addCompanion(
        QStringLiteral("Find Faces\u2026"), QStringLiteral("findFacesAction"),
        QKeySequence(Qt::CTRL | Qt::Key_F), [this] { show(); }, false);
}

void FindFacesLink::close()
{
    if (window_) window_->close();
}

void FindFacesLink::fontsChanged()
{
    if (window_)
        index_->refresh(catalogue_);
    else
        index_.reset();
}

find::FindFaces* FindFacesLink::window() const { return window_.data(); }

void FindFacesLink::selectFace(const QString& face)
{
    for (int i = 0; i < viewer_.fontList->count(); ++i)
        if (viewer_.fontList->itemText(i) == face) {
            viewer_.fontList->setListIndex(i); // runs the list's click handler, as a click does
            return;
        }
}

} // namespace quillon
