#pragma once
// The printer setup dialog: pick a printer and a number of copies (1 to 99), then OK makes that printer the
// program's current one and prints one sample page per copy as a single job. Modal; built afresh for each
// opening, so only the current printer (which belongs to the process) carries over.
//
// It knows nothing of the main window: the owner hands in its outer rectangle, how to read the face name and
// the details text (read afresh for every page), and what ending the program means.

#include "printing/SamplePage.h"

#include <QDialog>
#include <QRect>

#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace quillon {

namespace platform {
class Printers;
}
class Tallyfield;
class UpDown;

class PrinterSetup final : public QDialog {
    Q_OBJECT
public:
    /// The printer that is never offered: a name the system reserves for itself.
    static inline const QString kHiddenPrinter = QStringLiteral("Rendering Subsystem");
    /// Told when the job did not come out; %1 is the reason.
    static const QString kNotPrintedText;

    struct Owner {
        /// The main window's outer rectangle, pixels; the dialog places itself over it.
        QRect frame;
        /// The selected face name (the text of the face list).
        std::function<QString()> face;
        /// The details text, one detail a line, lines separated by CR LF.
        std::function<QString()> details;
        /// Called after the dialog has closed on Escape with Shift, Ctrl or Alt: closes the program's other
        /// windows and ends the program. May be empty.
        std::function<void()> endProgram;
        /// What OK prints, when it is not the sample page of `face`: handed the number of copies on the
        /// current printer, it prints them as one job and ends the document itself. May be empty.
        std::function<void(int copies)> print;
        /// Tells the user that the job did not come out (the PDF file was not written, and why). May be
        /// empty: the log still says so.
        std::function<void(const QString& text)> tell;
    };

    /// printers: the machine's printers and the process's current printer; not owned, must outlive the
    /// dialog. Runs Form_Load.
    PrinterSetup(platform::Printers& printers, Owner owner, QWidget* parent = nullptr);
    ~PrinterSetup() override;

    // Handlers, one per control event (control_Event); public so that tests drive them as the events do.
    void Form_Load();
    /// keyCode: Windows key code (27 Escape); shift: 1 Shift, 2 Ctrl, 4 Alt, added up.
    void Form_KeyDown(int keyCode, int shift);
    void okButton_Click();
    void exitButton_Click();
    void Tallyfield1_Change();
    void Tallyfield1_KeyUp(short& KeyCode, short& Shift);
    void UpDown1_UpClick();
    void UpDown1_DownClick();

    /// One sample page for the owner's face and details on the current printer (PrinterError passes out).
    void PrintSamplePage();
    void DrawRule();
    std::int32_t printY() const { return page_.printY(); }

    /// Where the dialog's top left goes, twips: centred across the owner, 300 twips below its middle.
    static QPoint placement(const QRect& ownerTwips, const QSize& dialogTwips);

    // Controls, owned by the dialog; each one's objectName is its member name.
    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    Tallyfield* Tallyfield1;
    UpDown* UpDown1;
    QPushButton* okButton;
    QPushButton* exitButton;

protected:
    /// Key preview: every key pressed in the dialog reaches Form_KeyDown before the control it is meant for.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Printers& printers_;
    Owner owner_;
    SamplePage page_;
};

} // namespace quillon
