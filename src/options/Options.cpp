#include "options/Options.h"

#include "base/WindowGeometry.h"
#include "controls/Captions.h"
#include "controls/WindowsKeys.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace quillon {

namespace {

constexpr int kClientWidth = 3975;
constexpr int kClientHeight = 2175;

struct BoxSpec {
    const char* setting;
    const char* defaultValue;
    const char* caption;
    const char* tip;
    int width;
};

const BoxSpec kBoxes[3] = {
    {"DefaultViewer", "0", "Set Quillon as default viewer for all fonts?",
     " Sets Quillon as the program to run when you double click on a font ", 3615},
    {"DefaultPrinter", "0", "Set Quillon as default printer for all fonts?",
     " Sets Quillon as the program to run when you right click on a font and select print ", 3615},
    {"ShowSplash", "1", "Display splash screen at program StartUp?",
     " Shows a splash screen every time the program starts  ", 3375},
};

// Only a value that reads as the number 1 checks a box; text that is no number at all counts as 0.
bool isOne(const QString& stored)
{
    bool ok = false;
    const double number = stored.trimmed().toDouble(&ok);
    return ok && number == 1.0;
}

QMessageBox::StandardButton askWithMessageBox(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void tellWithMessageBox(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox::warning(parent, title, text);
}

} // namespace

Options::Options(const QRect& ownerFrame, platform::SettingsStore& settings, RegistryModule& registry,
                 const FontModule& module, std::function<void()> endProgram, QWidget* parent)
    : QDialog(parent, (parent ? Qt::Dialog : Qt::Tool) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings), associations_(registry, settings, module),
      change_(associations_, registry, settings), endProgram_(std::move(endProgram)),
      question_(askWithMessageBox), notice_(tellWithMessageBox)
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral(" Quillon Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    setFont(captions::font(8.25));

    for (int i = 0; i < 3; ++i) {
        fOption[i] = new QCheckBox(QString::fromUtf8(kBoxes[i].caption), this);
        fOption[i]->setObjectName(QStringLiteral("fOption%1").arg(i));
        fOption[i]->setToolTip(QString::fromUtf8(kBoxes[i].tip));
        fOption[i]->setGeometry(pxRect(240, 240 + 420 * i, kBoxes[i].width, 255));
        connect(fOption[i], &QCheckBox::toggled, this, [this, i] { fOption_Click(i); });
    }
    saveButton = new QPushButton(QStringLiteral("&Save"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setToolTip(QStringLiteral(" Save any changes you've made to your options "));
    saveButton->setGeometry(pxRect(660, 1560, 855, 375));
    cancelButton = new QPushButton(QStringLiteral("&Close"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setToolTip(QStringLiteral(" Close options entry without saving "));
    cancelButton->setGeometry(pxRect(2520, 1560, 855, 375));
    connect(saveButton, &QPushButton::clicked, this, &Options::saveButton_Click);
    connect(cancelButton, &QPushButton::clicked, this, &Options::cancelButton_Click);

    setTabOrder(fOption[0], fOption[1]);
    setTabOrder(fOption[1], fOption[2]);
    setTabOrder(fOption[2], saveButton);
    setTabOrder(saveButton, cancelButton);

    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);

    Form_Load(ownerFrame);
    captions::fit(*this);
}

Options::~Options() = default;

QPoint Options::placement(const QRect& ownerFrame, const QSize& dialogFrame)
{
    const QPoint at = placeOver(twipsRect(ownerFrame),
                                QSize(twips(dialogFrame.width()), twips(dialogFrame.height())), 15, 150);
    return {px(at.x()), px(at.y())};
}

QSize Options::frameSize() { return framedSize(kClientWidth, kClientHeight); }

void Options::Form_Load(const QRect& ownerFrame)
{
    move(placement(ownerFrame, frameSize()));
    for (int i = 0; i < 3; ++i) {
        const QString stored = settings_.GetSetting(settings_keys::kTitle, settings_keys::kSection,
                                                    QString::fromUtf8(kBoxes[i].setting),
                                                    QString::fromUtf8(kBoxes[i].defaultValue));
        fOption[i]->setChecked(isOne(stored));
    }
    ResetButtons();
}

void Options::fOption_Click(int)
{
    saveButton->setEnabled(true);
    cancelButton->setDefault(false);
    saveButton->setDefault(true);
    cancelButton->setText(QStringLiteral("Cancel"));
}

void Options::ResetButtons()
{
    saveButton->setEnabled(false);
    saveButton->setDefault(false);
    cancelButton->setDefault(true);
    cancelButton->setText(QStringLiteral("&Close"));
}

void Options::saveButton_Click()
{
    const auto outcome =
        change_.save({fOption[0]->isChecked(), fOption[1]->isChecked(), fOption[2]->isChecked()});
    if (outcome.done()) return ResetButtons();
    // The boxes keep what the user chose and Save stays available: once the disk has room again (or the
    // file is the user's to write again), one more click saves them.
    QString text = outcome.settingsSaved ? kAssociationFailedText : kSettingsFailedText;
    if (!outcome.reason.isEmpty()) text += QStringLiteral("\r\n\r\nThe reason: %1.").arg(outcome.reason);
    asking_ = true;
    notice_(this, text, windowTitle());
    asking_ = false;
}

void Options::cancelButton_Click() { close(); }

void Options::closeEvent(QCloseEvent* event)
{
    if (asking_) {
        event->ignore();
        return;
    }
    if (saveButton->isEnabled()) {
        asking_ = true;
        const auto answer = question_(this, kQuestionText, kQuestionTitle);
        asking_ = false;
        if (answer == QMessageBox::Yes) {
            saveButton_Click();
        } else if (answer == QMessageBox::No) {
            // The changes are dropped: a later close of this closing dialog (the program's end closing the
            // windows that are left) has nothing more to ask.
            saveButton->setEnabled(false);
        } else {
            // Cancel (or the question closed some other way): the user's changes stay in the open dialog.
            event->ignore();
            activateWindow();
            setFocus();
            return;
        }
    }
    event->accept();
}

void Options::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode != WindowsKeys::kEscape) return;
    // Cancel to the question keeps the dialog open with the user's changes, and the program with it.
    if (!close()) return;
    if (shift > 0 && endProgram_) {
        // Queued, so that closing the other windows cannot delete this dialog while its key event runs.
        QMetaObject::invokeMethod(qApp, endProgram_, Qt::QueuedConnection);
    }
}

void Options::Form_Deactivate()
{
    saveButton->setEnabled(false);
    close();
}

bool Options::isOwnWindow(const QWidget* window) const
{
    for (const QWidget* w = window; w; w = w->parentWidget())
        if (w == this) return true;
    return false;
}

void Options::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow() || asking_) return;
    // Only another window of this program counts: switching to another application leaves the dialog be,
    // and so does the question box or any other window the dialog itself owns.
    const QWidget* now = QApplication::activeWindow();
    if (now && !isOwnWindow(now)) Form_Deactivate();
}

bool Options::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            const Qt::KeyboardModifiers held = key->modifiers();
            Form_KeyDown(WindowsKeys::kEscape, (held & Qt::ShiftModifier ? 1 : 0) |
                                                   (held & Qt::ControlModifier ? 2 : 0) |
                                                   (held & Qt::AltModifier ? 4 : 0));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Options::reject() { close(); }

} // namespace quillon
