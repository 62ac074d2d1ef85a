#include "shell/TypeTesterLink.h"

#include "shell/FaceInformationLink.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"
#include "tester/TypeTester.h"

#include <QPlainTextEdit>
#include <QScreen>

#include <algorithm>

namespace quillon {

TypeTesterLink::TypeTesterLink(Viewer& viewer, platform::Platform& platform,
                               FaceInformationLink& faceInformation, std::function<void()> endProgram)
    : viewer_(viewer), platform_(platform), faceInformation_(faceInformation),
      endProgram_(std::move(endProgram))
{
}

void TypeTesterLink::attach()
{
    faceInformation_.addCompanion(QStringLiteral("Type Tester…"), QStringLiteral("typeTesterAction"),
                                  QKeySequence(Qt::CTRL | Qt::Key_T), [this] { show(); });
}

void TypeTesterLink::show()
{
    if (!window_) {
        window_ = new TypeTester(platform_, endProgram_, &viewer_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the main window's corner, kept on its screen.
        QPoint at = viewer_.frameGeometry().topLeft() + QPoint(60, 60);
        if (const QScreen* screen = viewer_.screen()) {
            const QRect room = screen->availableGeometry();
            at.setX(std::max(room.left(), std::min(at.x(), room.right() - window_->frameGeometry().width())));
            at.setY(
                std::max(room.top(), std::min(at.y(), room.bottom() - window_->frameGeometry().height())));
        }
        window_->move(at);
        // The main window's sample at first; the tester's own text from then on.
        window_->setText(viewer_.displayText->toPlainText());
    }
    showCurrent();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void TypeTesterLink::close()
{
    if (window_) window_->close();
}

void TypeTesterLink::follow()
{
    if (window_) showCurrent();
}

void TypeTesterLink::showCurrent()
{
    const QString& file = faceInformation_.offeredFile();
    if (!file.isEmpty()) {
        window_->setFile(file);
        return;
    }
    window_->setFace(viewer_.fontList->text());
}

TypeTester* TypeTesterLink::window() const { return window_.data(); }

} // namespace quillon
