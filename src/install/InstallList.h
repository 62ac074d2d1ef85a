#pragma once
// The install list: the files, folders and archives dropped on the program, face by face, with family,
// style, format, file and state (new, already installed, same face from another file, not a font and why),
// and one Install button. New faces are ticked; a face installed from another file is offered unticked, so
// that installing it beside the other is the user's choice. After Install each file's row says where it
// went or why it did not. Escape closes it.
//
// A top-level window owned by the main window.

#include "install/InstallPlan.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quillon::install {

class InstallList final : public QWidget {
    Q_OBJECT
public:
    /// fonts must outlive the window.
    explicit InstallList(platform::FontInstall& fonts, QWidget* parent = nullptr);

    /// Gathers `paths` into the list.
    void add(const QStringList& paths);
    /// Copies the ticked files (the Install button).
    void install();
    const InstallPlan& plan() const { return plan_; }

    /// Runs after files were copied and the font system told, with the files copied.
    std::function<void(const QStringList& copied)> installed;

    QTreeWidget* itemsTable;
    QLabel* summaryLabel;
    QPushButton* installButton;
    QPushButton* closeButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();

    InstallPlan plan_;
};

} // namespace quillon::install
