#include "install/InstallDialogs.h"

#include "install/InstallPlan.h"
#include "platform/FontInstall.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace quillon::install {

namespace {

const QString kTitle = QStringLiteral("Quillon");

QString faceNames(const std::vector<platform::ExaminedFace>& faces)
{
    QStringList names;
    for (const platform::ExaminedFace& face : faces)
        names << (face.fullName.isEmpty() ? QStringLiteral("%1 %2").arg(face.family, face.style)
                                          : face.fullName);
    if (names.size() > 6) names = names.mid(0, 5) << QStringLiteral("%1 more").arg(faces.size() - 5);
    return names.join(QStringLiteral(", "));
}

} // namespace

void MessageBoxes::tell(QWidget* over, const QString& text) { QMessageBox::information(over, kTitle, text); }

bool MessageBoxes::ask(QWidget* over, const QString& text, const QString& yes)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, over);
    QPushButton* accept = box.addButton(yes, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == accept;
}

QStringList installFile(platform::FontInstall& fonts, const QString& path, Conversation& talk, QWidget* over)
{
    const QString name = QFileInfo(path).fileName();
    InstallPlan plan(fonts);
    plan.add({path});
    if (plan.files().empty()) {
        talk.tell(over,
                  QStringLiteral("%1 was not installed: %2").arg(name, plan.notes().join(QLatin1Char(' '))));
        return {};
    }
    const FoundFile& file = plan.files().front();
    if (!file.problem.isEmpty()) {
        talk.tell(over, QStringLiteral("%1 was not installed: %2.").arg(name, file.problem));
        return {};
    }
    if (!file.identical.isEmpty()) {
        talk.tell(over, QStringLiteral("%1 is already installed (%2).").arg(name, file.identical));
        return {};
    }
    bool beside = false;
    for (const FoundFace& row : plan.faces()) {
        if (row.state != FaceState::SameFace) continue;
        const platform::ExaminedFace& face = file.faces[static_cast<std::size_t>(row.face)];
        if (!talk.ask(over,
                      QStringLiteral("%1 holds %2 %3, which is already installed from %4.\n\nInstall this "
                                     "file beside it?")
                          .arg(name, face.family, face.style, row.detail),
                      QStringLiteral("Install Beside It")))
            return {};
        beside = true;
        break;
    }
    const QStringList copied = plan.install([&](int index) { return plan.installable(index, beside); });
    const FoundFile& done = plan.files().front();
    if (!done.failure.isEmpty())
        talk.tell(over,
                  QStringLiteral("%1 was not installed: %2. Nothing was copied.").arg(name, done.failure));
    return copied;
}

bool removeFile(platform::FontInstall& fonts, const QString& path, Conversation& talk, QWidget* over)
{
    const platform::ExaminedFile examined = fonts.examine(path);
    const QString holds = examined.faces.empty()
                              ? QStringLiteral("It holds no face the program can read.")
                              : QStringLiteral("It holds %1.").arg(faceNames(examined.faces));
    if (!talk.ask(over,
                  QStringLiteral("Move %1 to the trash?\n\n%2\n\nIt can be brought back from the trash.")
                      .arg(path, holds),
                  QStringLiteral("Move to Trash")))
        return false;
    QString problem;
    if (!fonts.moveToTrash(path, &problem)) {
        talk.tell(over, QStringLiteral("%1 was not removed: %2.").arg(QFileInfo(path).fileName(), problem));
        return false;
    }
    fonts.announce(QFileInfo(path).absolutePath());
    return true;
}

} // namespace quillon::install
