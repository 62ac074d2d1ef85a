#include "about/frmAbout.h"

#include "about/LinkLabel.h"
#include "about/SysInfoLauncher.h"
#include "base/WindowGeometry.h"
#include "controls/Accessibility.h"
#include "controls/Captions.h"
#include "controls/WindowsKeys.h"
#include "platform/Shell.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrlQuery>

namespace quillon {

const QString frmAbout::kTitle = QStringLiteral("Quillon");
const QString frmAbout::kMakerEmail = QStringLiteral("brindlewick@example.com");
const QString frmAbout::kMakerWeb = QStringLiteral("http://www.example.com");
const QString frmAbout::kMailFailed =
    QStringLiteral("A problem has occurred while trying to send an e-mail.");
const QString frmAbout::kSysInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");

namespace {

constexpr int kClientWidth = 6045;
constexpr int kClientHeight = 4275;

const QString kDescription = QStringLiteral(
    "The Quillon is designed to provide information about the screen/printer fonts installed on your system. "
    " "
    "This program also provides the ability to view different sizes and effects for each font, and the "
    "ability "
    "to view text that you type to see how it appears.  In addition, the program gives the option to print a "
    "single font or to compare the appearance of all fonts in a summary-type view.");

QFont sansSerif(double points, bool bold = false, bool underline = false)
{
    return captions::font(points, bold, false, underline);
}

template <typename Label = QLabel> Label* makeLabel(QWidget* parent, const char* name, const QRect& twipsRect)
{
    auto* label = new Label(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(pxRect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(sansSerif(8.25));
    return label;
}

LinkLabel* makeLink(QWidget* parent, const char* name, const QRect& twipsRect, const QString& text,
                    const QString& tip)
{
    auto* link = makeLabel<LinkLabel>(parent, name, twipsRect);
    link->setText(text);
    link->setToolTip(tip);
    link->setFont(sansSerif(8.25, false, true));
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    return link;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& twipsRect)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(pxRect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    button->setFont(sansSerif(8.25));
    return button;
}

} // namespace

frmAbout::frmAbout(platform::Registry& registry, platform::Shell& shell, const QRect& ownerFrame,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      registry_(registry), shell_(shell)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(px(kClientWidth), px(kClientHeight));

    lblTitle = makeLabel(this, "lblTitle", QRect(256, 130, 5559, 435));
    lblTitle->setFont(sansSerif(13.5, true));
    lblVersion = makeLabel(this, "lblVersion", QRect(256, 565, 5559, 225));
    lblDescription = makeLabel(this, "lblDescription", QRect(256, 891, 5559, 1956));
    lblDescription->setWordWrap(true);
    lblDisclaimer = makeLabel(this, "lblDisclaimer", QRect(255, 3216, 3870, 217));
    lblDisclaimer->setText(QStringLiteral("Please send any comments or suggestions to:"));
    EmailLink = makeLink(this, "EmailLink", QRect(607, 3412, 3195, 255), kMakerEmail,
                         QStringLiteral(" Send an e-mail to Brindlewick "));
    Label1 = makeLabel(this, "Label1", QRect(527, 3803, 703, 217));
    Label1->setText(QStringLiteral("Web site:"));
    WebLink = makeLink(this, "WebLink", QRect(1278, 3803, 2556, 217), kMakerWeb,
                       QStringLiteral(" Visit the Brindlewick web site "));
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"), QRect(4579, 3216, 1260, 345));
    cmdOK->setDefault(true);
    cmdSysInfo =
        makeButton(this, "cmdSysInfo", QStringLiteral("&System Info..."), QRect(4579, 3651, 1245, 345));
    cmdSysInfo->setAutoDefault(false);

    // A reader speaks each link with the words that introduce it.
    accessibility::link(lblDisclaimer, EmailLink);
    accessibility::link(Label1, WebLink);

    // Tab goes round OK, System Info, then the links; the focus starts on OK, as it did before the links
    // could take it (they come first in the chain, which would hand them the first focus).
    cmdOK->setFocus();
    connect(EmailLink, &LinkLabel::activated, this, [this] { EmailLink_Click(); });
    connect(WebLink, &LinkLabel::activated, this, [this] { WebLink_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    // Centred over the owner; with no owner, on the screen.
    QRect over = ownerFrame;
    if (over.isEmpty())
        if (const QScreen* screen = QGuiApplication::primaryScreen()) over = screen->availableGeometry();
    move(over.center() - QPoint(width() / 2, height() / 2));

    Form_Load();
    captions::fit(*this);
}

QString frmAbout::versionText(int major, int minor)
{
    return QStringLiteral("Version ") + QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

QUrl frmAbout::mailtoUrl(const QString& address, const QString& subject)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QString(subject).replace(QLatin1Char('&'), QStringLiteral("%26")));
    url.setQuery(query);
    return url;
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral(" About ") + kTitle);
    lblVersion->setText(versionText(kMajor, kMinor));
    lblDescription->setText(kDescription);
    lblTitle->setText(kTitle);
}

void frmAbout::Form_KeyDown(int keyCode, int shift)
{
    (void)shift;
    if (keyCode == WindowsKeys::kEscape) close();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        Form_KeyDown(WindowsKeys::kEscape, 0);
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The etched separator: a grey line with a white one a pixel below it. On a dark theme a white line
    // glares on the dark window; there the theme's own shadow and light colours etch it instead.
    const QPalette& colours = palette();
    const bool dark = colours.color(QPalette::Window).lightness() < 128;
    QPainter painter(this);
    painter.setPen(dark ? colours.color(QPalette::Dark) : QColor(128, 128, 128));
    painter.drawLine(px(90), px(3054), px(5941), px(3054));
    painter.setPen(dark ? colours.color(QPalette::Midlight) : QColor(Qt::white));
    painter.drawLine(px(105), px(3069), px(5941), px(3069));
}

void frmAbout::EmailLink_Click()
{
    const QString subject = kTitle + QStringLiteral(", ") + lblVersion->text();
    if (!shell_.openUrl(mailtoUrl(EmailLink->text(), subject))) message(kMailFailed);
}

void frmAbout::WebLink_Click()
{
    // No message here: the About box has none for the web link, and the shell's log says why it failed.
    shell_.openUrl(QUrl::fromUserInput(WebLink->text()));
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    SysInfoLauncher launcher(registry_, shell_);
    if (!launcher.StartSysInfo()) message(kSysInfoUnavailable);
}

void frmAbout::message(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, this);
    box.exec();
}

} // namespace quillon
