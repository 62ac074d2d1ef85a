#include "install/InstallList.h"

#include "controls/Accessibility.h"
#include "controls/AccessibleControls.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillon::install {

namespace {

enum Column { Family, Style, Format, File, State };
constexpr int kFileRole = Qt::UserRole + 1;

QString filesCounted(int n) { return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n); }

} // namespace

InstallList::InstallList(platform::FontInstall& fonts, QWidget* parent)
    : QWidget(parent, Qt::Window), plan_(fonts)
{
    setObjectName(QStringLiteral("installList"));
    setWindowTitle(QStringLiteral("Install Fonts"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 380);
    auto* layout = new QVBoxLayout(this);
    itemsTable = new QTreeWidget(this);
    itemsTable->setObjectName(QStringLiteral("itemsTable"));
    itemsTable->setRootIsDecorated(false);
    itemsTable->setHeaderLabels({QStringLiteral("Family"), QStringLiteral("Style"), QStringLiteral("Format"),
                                 QStringLiteral("File"), QStringLiteral("State")});
    layout->addWidget(itemsTable);
    summaryLabel = new QLabel(this);
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel->setTextFormat(Qt::PlainText);
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    installButton = new QPushButton(QStringLiteral("Install"), this);
    installButton->setObjectName(QStringLiteral("installButton"));
    installButton->setToolTip(QStringLiteral(" Install the ticked faces' files for your own use "));
    installButton->setDefault(true);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    buttons->addWidget(installButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(installButton, &QPushButton::clicked, this, &InstallList::install);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    accessibility::installControls();
    accessibility::name(itemsTable, QStringLiteral("Faces found"));
    accessibility::name(installButton, QStringLiteral("Install"));
    accessibility::name(closeButton, QStringLiteral("Close"));
}

void InstallList::add(const QStringList& paths)
{
    plan_.add(paths);
    fill();
}

void InstallList::fill()
{
    itemsTable->clear();
    bool any = false;
    for (const FoundFace& row : plan_.faces()) {
        const FoundFile& file = plan_.files()[static_cast<std::size_t>(row.file)];
        const platform::ExaminedFace face =
            file.faces.empty() ? platform::ExaminedFace{} : file.faces[static_cast<std::size_t>(row.face)];
        QString state = InstallPlan::stateWords(row.state);
        if (!file.installedAs.isEmpty())
            state = QStringLiteral("installed as %1").arg(QFileInfo(file.installedAs).fileName());
        else if (!file.failure.isEmpty())
            state = QStringLiteral("not installed: %1").arg(file.failure);
        else if (!row.detail.isEmpty()) // why it is no font, or the installed file with its face or bytes
            state += QStringLiteral(": ") + row.detail;
        auto* item =
            new QTreeWidgetItem(itemsTable, {face.family, face.style, face.format,
                                             file.shown.mid(file.shown.lastIndexOf(u'/') + 1), state});
        item->setData(Family, kFileRole, row.file);
        item->setToolTip(File, file.shown);
        if (!row.detail.isEmpty()) item->setToolTip(State, row.detail);
        if (plan_.installable(row.file, true)) {
            // Ticked when new; a face installed from another file only when the user ticks it.
            item->setCheckState(Family, row.state == FaceState::New ? Qt::Checked : Qt::Unchecked);
            any = true;
        }
    }
    for (int c = 0; c < itemsTable->columnCount(); ++c) itemsTable->resizeColumnToContents(c);
    // After Install the list says what was done rather than what was found.
    int copied = 0;
    int failed = 0;
    for (const FoundFile& file : plan_.files()) {
        copied += file.installedAs.isEmpty() ? 0 : 1;
        failed += file.failure.isEmpty() ? 0 : 1;
    }
    QString summary = plan_.summary();
    if (copied + failed > 0) {
        const QString done = failed == 0 ? QStringLiteral("%1 installed.").arg(filesCounted(copied))
                                         : QStringLiteral("%1 installed, %2 not installed.")
                                               .arg(filesCounted(copied), filesCounted(failed));
        summary = done;
    }
    for (const QString& note : plan_.notes()) summary += QLatin1Char('\n') + note;
    summaryLabel->setText(summary);
    installButton->setEnabled(any);
}

void InstallList::install()
{
    QSet<int> ticked;
    for (int i = 0; i < itemsTable->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = itemsTable->topLevelItem(i);
        if (item->data(Family, Qt::CheckStateRole).isValid() && item->checkState(Family) == Qt::Checked)
            ticked.insert(item->data(Family, kFileRole).toInt());
    }
    const QStringList copied = plan_.install([&](int file) { return ticked.contains(file); });
    fill();
    if (!copied.isEmpty() && installed) installed(copied);
}

void InstallList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillon::install
