#include "shell/FaceInformationLink.h"

#include "faceinfo/Coverage.h"
#include "faceinfo/FaceInformation.h"
#include "platform/FontFacts.h"
#include "platform/FontSystem.h"
#include "platform/Platform.h"
#include "shell/SamplePicture.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>

namespace quillon {

FaceInformationLink::FaceInformationLink(Viewer& viewer, platform::Platform& platform,
                                         const FontCatalogue& catalogue, std::function<void()> endProgram)
    : viewer_(viewer), platform_(platform), catalogue_(catalogue), endProgram_(std::move(endProgram))
{
}

void FaceInformationLink::attach()
{
    viewer_.fontList->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(viewer_.fontList, &QWidget::customContextMenuRequested, &viewer_,
                     [this](const QPoint& at) {
                         QMenu menu(viewer_.fontList);
                         QAction* open = menu.addAction(QStringLiteral("Face Information…"));
                         open->setObjectName(QStringLiteral("faceInformationAction"));
                         open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
                         std::vector<QAction*> others;
                         for (const Companion& c : companions_) {
                             others.push_back(menu.addAction(c.text));
                             others.back()->setObjectName(c.objectName);
                             others.back()->setShortcut(c.shortcut);
                         }
                         QAction* chosen = menu.exec(viewer_.fontList->mapToGlobal(at));
                         if (chosen == open) show();
                         for (std::size_t i = 0; i < others.size(); ++i)
                             if (chosen && chosen == others[i]) companions_[i].open();
                     });
    viewer_.displayPicture->toolTipSource = [this] { return missingCharactersTip(); };
}

void FaceInformationLink::show()
{
    if (!window_) {
        window_ = new FaceInformation(platform_, catalogue_, endProgram_, &viewer_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        for (const Companion& c : companions_)
            if (c.button) window_->addButton(c.text, c.objectName, c.open);
        window_->setFindFaces([this](const QString& text) {
            if (findFaces) findFaces(text);
        });
        window_->setInstallActions(installActions_);
        const QRect frame = viewer_.frameGeometry();
        window_->move(frame.topLeft() + QPoint(40, 40));
    }
    window_->setSampleText(viewer_.displayText->toPlainText());
    if (!file_.isEmpty())
        window_->setFile(file_);
    else
        window_->setFace(viewer_.fontList->text());
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void FaceInformationLink::addCompanion(const QString& text, const QString& objectName,
                                       const QKeySequence& shortcut, std::function<void()> open, bool button)
{
    companions_.push_back({text, objectName, shortcut, std::move(open), button});
}

FaceInformation* FaceInformationLink::window() const { return window_.data(); }

void FaceInformationLink::close()
{
    if (window_) window_->close();
}

void FaceInformationLink::offerFile(const QString& path)
{
    file_ = path;
    fileFace_ = viewer_.fontList->text();
    if (!window_) return;
    if (file_.isEmpty())
        window_->setFace(fileFace_);
    else
        window_->setFile(file_);
}

void FaceInformationLink::showOffered()
{
    const QFileInfo file(file_);
    if (file_.isEmpty() || !file.isFile() || !file.isReadable()) return;
    // After the message's OK: a window opened beside a message that waits would take its place on top
    // while the message keeps the keyboard.
    if (QWidget* message = QApplication::activeModalWidget()) {
        QObject::connect(
            message, &QObject::destroyed, &viewer_, [this] { showOffered(); }, Qt::QueuedConnection);
        return;
    }
    show();
}

void FaceInformationLink::fontsChanged()
{
    if (window_) window_->reread();
}

void FaceInformationLink::setInstallActions(FaceInformation::InstallActions actions)
{
    installActions_ = std::move(actions);
    if (window_) window_->setInstallActions(installActions_);
}

void FaceInformationLink::follow()
{
    if (!file_.isEmpty() && viewer_.fontList->text() != fileFace_) file_.clear();
    if (!window_) return;
    window_->setSampleText(viewer_.displayText->toPlainText());
    if (file_.isEmpty()) window_->setFace(viewer_.fontList->text());
}

QString FaceInformationLink::missingCharactersTip() const
{
    const QString face = viewer_.fontList->text();
    if (face.isEmpty()) return {};
    const auto resolved = platform_.fontSystem.resolveFace(face);
    if (!resolved) return {};
    std::vector<char32_t> missing;
    for (char32_t c : faceinfo::charactersOf(viewer_.displayText->toPlainText()))
        if (!platform_.fontFacts.hasCharacters(resolved->file, resolved->index, {c})) missing.push_back(c);
    if (missing.empty()) return {};
    return QStringLiteral("Not in this face: ") + faceinfo::describeCharacters(missing);
}

} // namespace quillon
