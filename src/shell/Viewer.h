#pragma once
// The main window: the face and size lists, the effects, the details, the sample text and picture, and
// the command buttons. It lives for the whole run. Handlers keep the names the window's events have; setting
// a list's selection or a box's value from code runs that control's handler at once, and the two guards
// loadingList and selectingSize keep nested handlers from doing their work twice.

#include "base/FontModule.h"
#include "catalogue/CommandLineSelection.h"
#include "catalogue/FontCatalogue.h"
#include "controls/WindowsKeys.h"
#include "platform/HandOffRecord.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillon {

namespace platform {
struct Platform;
}
class SamplePicture;
class SimpleCombo;
class TextMeasurer;
class ViewerWindows;

inline const QString kAppTitle = QStringLiteral("Quillon");
inline const QString kViewerCaption = QStringLiteral(" Quillon");
inline const QString kSettingsSection = QStringLiteral("Settings");

/// Windows virtual-key codes and modifier bits the key handler is written against.
enum : int {
    VK_ESCAPE = WindowsKeys::kEscape,
    VK_F = 70,
    VK_I = 73,
    VK_P = 80,
    VK_T = 84,
    VK_F1 = 112,
    VK_F16 = 127
};
enum : int { SHIFT_MASK = 1, CTRL_MASK = 2, ALT_MASK = 4 };

class Viewer : public QWidget, private CommandLineTarget {
    Q_OBJECT
public:
    Viewer(platform::Platform& platform, FontModule& module, FontCatalogue& catalogue, TextMeasurer& measurer,
           QWidget* parent = nullptr);
    ~Viewer() override;

    // Controls; each one's objectName is its member name, so tests and tools find it with findChild.
    QLabel* Label1;
    SimpleCombo* fontList;
    QLabel* Label2;
    SimpleCombo* sizeList;
    QPushButton* summaryButton;
    QPushButton* printButton;
    QPushButton* optionsButton;
    QPushButton* exitButton;
    QLabel* Label4;
    QFrame* Frame1;
    std::array<QCheckBox*, 4> effect;
    QLabel* Label5;
    QPlainTextEdit* detailText;
    QLabel* Label6;
    QLabel* Copyright;
    QWidget* TextSize;
    QLabel* Label3;
    QPlainTextEdit* displayText;
    SamplePicture* displayPicture;
    QWidget* HelpButton;

    // Window state shared by the handlers.
    bool loadingList = false;
    bool activatedOnce = false;
    bool printPending = false;
    bool textTyped = false;
    bool selectingSize = false;
    int chosenSize = 0;

    // Life cycle and keys.
    void Form_Load();
    void Form_Activate();
    void Form_Paint();
    void Form_KeyDown(int keyCode, int shift);
    void Form_Unload();
    /// Waits the given seconds while window events go on being processed; 0 or below returns at once.
    void Pause(int seconds);

    // Controls' handlers.
    void fontList_Click();
    void sizeList_Click();
    void effect_Click(int index);
    void displayText_Change();
    void displayText_KeyPress();
    void displayText_GotFocus();
    void summaryButton_Click();
    void printButton_Click();
    void optionsButton_Click();
    void exitButton_Click();
    void HelpButton_Click();

    // Sizes, sample, details, command line.
    void ListRasterSizes(const QString& sizes);
    void ListScalableSizes();
    void ReselectSize();
    void RenderSample();
    void ShowFontDetails();
    void SelectCommandLineFont();

    /// Runs the hand-off from a later start: restores the window and brings it forward (on Wayland with the
    /// later start's activation token, when it brought one), then the F16 key handling.
    bool receiveHandOff(const platform::HandOffRecord& request);

    /// The details box's text with its lines joined by CR LF, as the printed page reads it.
    QString detailTextValue() const;

    /// The outer window height in twips as the program last set it (6315 or 6915).
    int windowHeightTwips() const { return windowHeight_; }
    /// Whether the program was ended (Esc, Exit); Main returns at once then.
    bool ended() const { return ended_; }

    /// Where the "not registered" message goes; by default a message box that does not block the caller.
    std::function<void(const QString& text, const QString& title)> showMessage;

signals:
    void programEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // CommandLineTarget
    void selectFace(int index) override;
    void setEffect(int index, int value) override;
    void setPrintPending(bool pending) override { printPending = pending; }
    void showNotRegistered() override;

    void buildControls(const QFont& labelFont);
    void applyTabOrder();
    void describeControls();
    void setWindowHeightTwips(int outerHeight);
    void setPictureHeightTwips(int height);
    void setDisplayText(const QString& text);
    bool keyBelongsHere(QObject* watched) const;
    /// The font the screen draws the listed face with, found once per face change.
    const QFont& screenFace();

    platform::Platform& platform_;
    FontModule& module_;
    FontCatalogue& catalogue_;
    TextMeasurer& measurer_;
    std::unique_ptr<ViewerWindows> windows_;
    QFont screenFace_;
    QString screenFaceName_;
    bool screenFaceKnown_ = false;
    int windowHeight_ = 0;
    bool ended_ = false;
    /// The command line and file of the hand-off being handled, for its F16; empty otherwise.
    std::optional<std::pair<QString, QString>> handedOver_;
    int handOffs_ = 0; // handled so far, for the log
    bool paintActionQueued_ = false;
    /// The key press the window last acted on, while it travels up from the control it was meant for; the
    /// event's address is only compared, never read.
    struct TakenKey {
        const QEvent* event = nullptr;
        quint64 timestamp = 0;
        int key = 0;
        int modifiers = 0;
        bool operator==(const TakenKey&) const = default;
    };
    TakenKey keyTaken_;
};

} // namespace quillon
