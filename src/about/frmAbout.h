#pragma once
// The About box: what the program is, its version, an e-mail link and a web link to the maker, and a
// button that starts the system information tool. Modeless; it deletes itself when closed (OK, Escape,
// the close button, or the owner closing it), so each opening builds a fresh one.

#include <QDialog>
#include <QRect>
#include <QUrl>

class QLabel;
class QPushButton;

namespace quillon {

class LinkLabel;

namespace platform {
class Registry;
class Shell;
} // namespace platform

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    static const QString kTitle;
    static constexpr int kMajor = 1;
    static constexpr int kMinor = 3;
    static const QString kMakerEmail;
    static const QString kMakerWeb;
    static const QString kMailFailed;
    static const QString kSysInfoUnavailable;

    /// ownerFrame: the main window's outer rectangle in pixels, which the box centres itself over (an empty
    /// rectangle centres it on the screen). The registry and shell are not owned and must outlive the box.
    frmAbout(platform::Registry& registry, platform::Shell& shell, const QRect& ownerFrame,
             QWidget* parent = nullptr);

    /// "Version 1.3": the major number, ".", the minor number with at least one digit.
    static QString versionText(int major, int minor);
    /// The new-message address for the mail handler: the recipient and the subject, encoded.
    static QUrl mailtoUrl(const QString& address, const QString& subject);

    void Form_Load();
    /// Escape (27) closes the box; other keys and the shift state do nothing.
    void Form_KeyDown(int keyCode, int shift);
    void EmailLink_Click();
    void WebLink_Click();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    LinkLabel* EmailLink = nullptr;
    QLabel* Label1 = nullptr;
    LinkLabel* WebLink = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void StartSysInfo();
    void message(const QString& text);

    platform::Registry& registry_;
    platform::Shell& shell_;
};

} // namespace quillon
