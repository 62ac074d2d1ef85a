#include "shell/InstallLink.h"

#include "catalogue/CommandLineSelection.h"
#include "install/InstallList.h"
#include "platform/FontInstall.h"
#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"
#include "shell/FaceInformationLink.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>

namespace quillon {

namespace {

/// The local files a drag carries; empty for anything else (text, web addresses).
QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

/// The main window as the command-line selection acts on it, for a file just installed: the face and its
/// style are selected as opening the file selects them, without a message when it has no record.
class Selection final : public CommandLineTarget {
public:
    explicit Selection(Viewer& viewer) : viewer_(viewer) {}
    void selectFace(int index) override { viewer_.fontList->setListIndex(index); }
    void setEffect(int index, int value) override
    {
        viewer_.effect[static_cast<std::size_t>(index)]->setChecked(value == 1);
    }
    void setPrintPending(bool) override {}
    void showNotRegistered() override { found = false; }
    bool found = true;

private:
    Viewer& viewer_;
};

} // namespace

InstallLink::InstallLink(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
                         FaceInformationLink& faceInformation)
    : viewer_(viewer), platform_(platform), catalogue_(catalogue), faceInformation_(faceInformation),
      talk(std::make_unique<install::MessageBoxes>())
{
}

InstallLink::~InstallLink()
{
    if (qApp) qApp->removeEventFilter(this);
}

install::InstallList* InstallLink::list() const { return list_.data(); }

void InstallLink::attach()
{
    // Drops anywhere on the main window reach it: its controls that take no drops hand them up.
    viewer_.setAcceptDrops(true);
    qApp->installEventFilter(this);
    FaceInformation::InstallActions actions;
    actions.install = [this](const QString& path) { installFile(path, faceInformation_.window()); };
    actions.remove = [this](const QString& path) { removeFile(path, faceInformation_.window()); };
    actions.drop = [this](const QStringList& paths) { openList(paths); };
    faceInformation_.setInstallActions(std::move(actions));
}

bool InstallLink::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &viewer_) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty()) return false; // text dropped on the sample text box stays its own
    drop->acceptProposedAction();
    if (type == QEvent::Drop) openList(paths);
    return true;
}

void InstallLink::openList(const QStringList& paths)
{
    if (!list_) {
        list_ = new install::InstallList(platform_.fontInstall, &viewer_);
        list_->setAttribute(Qt::WA_DeleteOnClose);
        list_->installed = [this](const QStringList& copied) { selectInstalled(copied); };
        list_->move(viewer_.frameGeometry().topLeft() + QPoint(60, 60));
    }
    list_->add(paths);
    list_->show();
    list_->raise();
    list_->activateWindow();
}

void InstallLink::installFile(const QString& path, QWidget* over)
{
    const QStringList copied = install::installFile(platform_.fontInstall, path, *talk, over);
    if (!copied.isEmpty()) selectInstalled(copied);
}

void InstallLink::removeFile(const QString& path, QWidget* over)
{
    install::removeFile(platform_.fontInstall, path, *talk, over);
}

void InstallLink::selectInstalled(const QStringList& copied)
{
    if (copied.isEmpty()) return;
    // The file the window offered is installed now: the window follows the main window's face again.
    faceInformation_.offerFile(QString());
    QString line = platform::lowerCased(copied.front());
    Selection selection(viewer_);
    SelectCommandLineFont(line, catalogue_, selection);
    if (selection.found) return;
    // A file the fonts key leaves out (Type 1) has no record: its family is selected by name.
    const platform::ExaminedFile examined = platform_.fontInstall.examine(copied.front());
    const QString family = examined.faces.empty() ? QString() : examined.faces.front().family;
    for (int i = 0; i < viewer_.fontList->count(); ++i)
        if (viewer_.fontList->itemText(i).compare(family, Qt::CaseInsensitive) == 0) {
            viewer_.fontList->setListIndex(i);
            return;
        }
    qCDebug(log::catalogue) << "no listed face for the installed file" << copied.front();
}

} // namespace quillon
