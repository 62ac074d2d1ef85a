#include "printing/PrinterSetup.h"

#include "base/WindowGeometry.h"
#include "controls/Accessibility.h"
#include "controls/Captions.h"
#include "controls/Tallyfield.h"
#include "controls/WindowsKeys.h"
#include "platform/Log.h"
#include "platform/Printers.h"
#include "printing/UpDown.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace quillon {

namespace {

// Client area, twips.
constexpr int kClientWidth = 3855;
constexpr int kClientHeight = 1950;
constexpr int kArrowUp = 38;
constexpr int kArrowDown = 40;

double numberOf(const QVariant& value) { return value.toDouble(); }

} // namespace

PrinterSetup::PrinterSetup(platform::Printers& printers, Owner owner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      printers_(printers), owner_(std::move(owner)), page_(printers.printer())
{
    setObjectName(QStringLiteral("PrinterSetup"));
    setWindowTitle(QStringLiteral(" Printer Setup"));
    setModal(true);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    setFont(captions::font(8.25));

    Label1 = new QLabel(QStringLiteral("Printer name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(pxRect(240, 270, 975, 255));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->setGeometry(pxRect(1320, 240, 2295, 315));
    Combo1->setToolTip(QStringLiteral(" Select the appropriate printer "));

    Label2 = new QLabel(QStringLiteral("Number of copies:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(pxRect(240, 795, 1335, 255));

    Tallyfield1 = new Tallyfield(this);
    Tallyfield1->setObjectName(QStringLiteral("Tallyfield1"));
    Tallyfield1->setFormat(QStringLiteral("#0"));
    Tallyfield1->setPositiveOnly(true);
    Tallyfield1->setGeometry(pxRect(1680, 780, 300, 285));
    Tallyfield1->setToolTip(QStringLiteral(" Select the number of copies to print "));

    UpDown1 = new UpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(1, 99);
    UpDown1->setIncrement(1);
    UpDown1->setGeometry(pxRect(1980, 780, 240, 285));
    UpDown1->setToolTip(QStringLiteral(" Select the number of copies to print "));

    okButton = new QPushButton(QStringLiteral("&OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(pxRect(480, 1320, 1095, 375));
    okButton->setToolTip(QStringLiteral(" Click here to print the selected font  "));
    okButton->setDefault(true);

    exitButton = new QPushButton(QStringLiteral("Cancel"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(pxRect(2280, 1320, 1095, 375));
    exitButton->setToolTip(QStringLiteral(" Click here to close the form without printing "));

    // What a screen reader speaks for the fields: the labels' texts, linked to them.
    accessibility::name(Combo1, QStringLiteral("Printer name"));
    accessibility::link(Label1, Combo1);
    accessibility::name(Tallyfield1, QStringLiteral("Number of copies"));
    accessibility::link(Label2, Tallyfield1);
    accessibility::name(UpDown1, QStringLiteral("Number of copies"));

    setTabOrder(Tallyfield1, okButton);
    setTabOrder(okButton, exitButton);
    setTabOrder(exitButton, Combo1);
    setTabOrder(Combo1, UpDown1);

    connect(okButton, &QPushButton::clicked, this, &PrinterSetup::okButton_Click);
    connect(exitButton, &QPushButton::clicked, this, &PrinterSetup::exitButton_Click);
    connect(Tallyfield1, &Tallyfield::Change, this, &PrinterSetup::Tallyfield1_Change);
    connect(Tallyfield1, &Tallyfield::KeyUp, this, &PrinterSetup::Tallyfield1_KeyUp);
    connect(UpDown1, &UpDown::UpClick, this, &PrinterSetup::UpDown1_UpClick);
    connect(UpDown1, &UpDown::DownClick, this, &PrinterSetup::UpDown1_DownClick);

    // Key preview: the filter installed last runs first, so the dialog sees keys before any control does,
    // the copies field's own text box included.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

    Form_Load();
    captions::fit(*this);
}

PrinterSetup::~PrinterSetup() = default;

QPoint PrinterSetup::placement(const QRect& ownerTwips, const QSize& dialogTwips)
{
    return placeOver(ownerTwips, dialogTwips, 0, 300);
}

void PrinterSetup::Form_Load()
{
    // The dialog's frame is not known before it is shown; its client size stands for its outer size.
    const QPoint at = placement(twipsRect(owner_.frame), QSize(kClientWidth, kClientHeight));
    move(px(at.x()), px(at.y()));

    // A sorted list: each name goes before the first that sorts after it, case aside.
    Combo1->clear();
    for (const QString& name : printers_.deviceNames()) {
        if (name == kHiddenPrinter) continue;
        int at = 0;
        while (at < Combo1->count() && Combo1->itemText(at).compare(name, Qt::CaseInsensitive) <= 0) ++at;
        Combo1->insertItem(at, name);
    }

    const QString current = printers_.currentDeviceName();
    for (int i = 0; i < Combo1->count(); ++i) {
        Combo1->setCurrentIndex(i);
        if (Combo1->currentText() == current) break;
    }

    Tallyfield1->setValue(1);
    Tallyfield1->setFocus(Qt::OtherFocusReason);
}

void PrinterSetup::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode != WindowsKeys::kEscape) return;
    reject();
    if (shift > 0 && owner_.endProgram) owner_.endProgram();
}

void PrinterSetup::okButton_Click()
{
    // Each step goes on whatever became of the one before; the dialog shows no message of its own.
    const QString chosen = Combo1->currentText();
    try {
        for (const QString& name : printers_.deviceNames())
            if (name == chosen) {
                if (!printers_.setCurrentPrinter(name))
                    qCDebug(log::printing)
                        << "printer" << name << "could not be made current: the last one prints";
                break;
            }
    } catch (const std::exception& e) {
        qCDebug(log::printing) << "printer" << chosen << "could not be made current:" << e.what();
    }

    if (numberOf(Tallyfield1->Value()) == 0) Tallyfield1->setValue(1);

    // Read once; never more than the field allows, whatever reached it.
    const double wanted = std::floor(numberOf(Tallyfield1->Value()));
    const int copies = wanted < 0 ? 0 : wanted > UpDown1->Max() ? UpDown1->Max() : int(wanted);
    if (owner_.print) {
        try {
            if (copies > 0) owner_.print(copies);
        } catch (const std::exception&) {
        }
        accept();
        return;
    }
    for (int copy = 1; copy <= copies; ++copy) {
        try {
            PrintSamplePage();
        } catch (const std::exception& e) {
            // A copy that failed is not tried again; the others still print.
            qCDebug(log::printing) << "copy" << copy << "of the sample page failed:" << e.what();
        }
    }
    try {
        printers_.printer().endDoc();
    } catch (const std::exception& e) {
        qCDebug(log::printing) << "the print job was not handed on:" << e.what();
        // A PDF that was not written must not pass for one that was: the user would find an earlier file,
        // or none, where they expect the page.
        if (owner_.tell) owner_.tell(kNotPrintedText.arg(QString::fromStdString(e.what())));
    }

    accept();
}

void PrinterSetup::exitButton_Click() { reject(); }

const QString PrinterSetup::kNotPrintedText = QStringLiteral("The sample page did not come out: %1.");

void PrinterSetup::Tallyfield1_Change()
{
    if (numberOf(Tallyfield1->Value()) > UpDown1->Max()) {
        Tallyfield1->setValue(UpDown1->Max());
        Tallyfield1->Highlight();
    }
    // A value outside the spin control's range (0 typed in the field) is left to OK.
    UpDown1->setValue(int(std::lround(numberOf(Tallyfield1->Value()))));
}

void PrinterSetup::Tallyfield1_KeyUp(short& KeyCode, short& Shift)
{
    (void)Shift;
    if (KeyCode != kArrowUp && KeyCode != kArrowDown) return;
    const long value = std::lround(numberOf(Tallyfield1->Value()));
    long next = 0;
    if (KeyCode == kArrowUp)
        next = value >= UpDown1->Max() ? UpDown1->Max() : value + 1;
    else
        next = UpDown1->Min() >= value ? UpDown1->Min() : value - 1;
    Tallyfield1->setValue(qlonglong(next));
    Tallyfield1->Highlight();
}

void PrinterSetup::UpDown1_UpClick()
{
    if (UpDown1->Max() < UpDown1->Value()) UpDown1->setValue(UpDown1->Max());
    Tallyfield1->setValue(UpDown1->Value());
    Tallyfield1->setFocus(Qt::OtherFocusReason);
    Tallyfield1->Highlight();
}

void PrinterSetup::UpDown1_DownClick()
{
    if (UpDown1->Value() < UpDown1->Min()) UpDown1->setValue(UpDown1->Min());
    Tallyfield1->setValue(UpDown1->Value());
    Tallyfield1->setFocus(Qt::OtherFocusReason);
    Tallyfield1->Highlight();
}

void PrinterSetup::PrintSamplePage()
{
    page_.PrintSamplePage(owner_.face ? owner_.face() : QString(),
                          owner_.details ? owner_.details() : QString());
}

void PrinterSetup::DrawRule() { page_.DrawRule(); }

bool PrinterSetup::eventFilter(QObject* watched, QEvent* event)
{
    // A key a control leaves alone travels on to its parents; the dialog sees it once, at the focused
    // control.
    const QWidget* focused = QApplication::focusWidget();
    if (event->type() == QEvent::KeyPress && (watched == focused || (!focused && watched == this))) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = WindowsKeys::keyCode(*key);
        Form_KeyDown(code, WindowsKeys::shiftState(key->modifiers()));
        // Escape closed the dialog; no control is to act on it as well.
        if (code == WindowsKeys::kEscape) return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quillon
