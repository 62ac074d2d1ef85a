#pragma once
// The options dialog: three boxes (the program as the default viewer, as the default printer of font
// files, the splash screen at start-up) over the settings "DefaultViewer", "DefaultPrinter" and
// "ShowSplash". The enabled state of saveButton is the dialog's "changed" mark. Save stores the boxes and
// applies both associations at once; closing with unsaved changes asks first.
//
// Modeless and built afresh each time it opens: the owner creates it, calls show(), and the dialog
// deletes itself when it closes. It closes itself without a question when another window of the program
// becomes active. Escape closes it; Escape with Shift, Ctrl or Alt closes it and then calls `endProgram`,
// which closes the program's other windows and ends the program. Cancel to the unsaved-changes question
// keeps the dialog open and the program running: ending it anyway would lose the changes the user kept.

#include "options/FileAssociations.h"
#include "options/OptionsChange.h"

#include <QDialog>
#include <QMessageBox>

#include <functional>

class QCheckBox;
class QPushButton;

namespace quillon {

namespace platform {
class SettingsStore;
}
class RegistryModule;
struct FontModule;

class Options final : public QDialog {
    Q_OBJECT
public:
    /// Asks the unsaved-changes question: shows `text` with the question icon and Yes, No and Cancel under
    /// `title` and returns the button chosen. Tests answer without showing anything.
    using Question = std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text,
                                                               const QString& title)>;

    /// ownerFrame: the main window's outer rectangle in pixels, which the dialog places itself over.
    /// settings, registry and module are borrowed and must outlive the dialog. endProgram: called once the
    /// key event that asked for it is over (so it may close this dialog's owner); may be empty.
    /// parent: the owning window (the dialog stays above it, without a task bar entry); may be null.
    Options(const QRect& ownerFrame, platform::SettingsStore& settings, RegistryModule& registry,
            const FontModule& module, std::function<void()> endProgram, QWidget* parent = nullptr);
    ~Options() override;

    void setQuestion(Question question) { question_ = std::move(question); }
    /// Tells the user something with an OK button only; tests record it instead.
    using Notice = std::function<void(QWidget* parent, const QString& text, const QString& title)>;
    void setNotice(Notice notice) { notice_ = std::move(notice); }

    /// The dialog's outer top left for an owner's outer rectangle and the dialog's outer size, in pixels:
    /// centred across plus 15 twips, centred down plus 150 twips.
    static QPoint placement(const QRect& ownerFrame, const QSize& dialogFrame);
    /// The dialog's outer size in pixels: its client area with the frame of a fixed dialog.
    static QSize frameSize();

    /// keyCode: Windows key code (27 Escape); shift: 1 Shift, 2 Ctrl, 4 Alt, added up.
    void Form_KeyDown(int keyCode, int shift);
    /// Another window of the program became active: drop the changes and close without asking.
    void Form_Deactivate();
    void fOption_Click(int index);
    void ResetButtons();
    void saveButton_Click();
    void cancelButton_Click();

    inline static const QString kQuestionText =
        QStringLiteral("The Quillon options have changed.\r\n\r\n    Do you wish to save the changes?");
    inline static const QString kQuestionTitle = QStringLiteral(" Exit Options Entry");
    /// Said when Save could not change the desktop's associations; the settings involved keep their values,
    /// the boxes what the user chose. Either text is followed by the reason when one is known.
    inline static const QString kAssociationFailedText =
        QStringLiteral("The desktop's association file could not be changed and was left as it was.");
    /// Said when the options could not be stored; the settings file is as it was and the boxes as chosen.
    inline static const QString kSettingsFailedText =
        QStringLiteral("The options could not be saved; the settings file was left as it was.");

    QCheckBox* fOption[3] = {};
    QPushButton* saveButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    /// Form_QueryUnload: every way of closing comes through here.
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// Key preview: keys reach Form_KeyDown before the control they are meant for.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Form_Load(const QRect& ownerFrame);
    bool isOwnWindow(const QWidget* window) const;

    platform::SettingsStore& settings_;
    FileAssociations associations_;
    OptionsChange change_;
    std::function<void()> endProgram_;
    Question question_;
    Notice notice_;
    bool asking_ = false;
};

} // namespace quillon
