#include "shell/ViewerWindows.h"

#include "platform/Platform.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quillon {

struct ViewerWindows::Parts {
};

ViewerWindows::ViewerWindows(Viewer& viewer, platform::Platform& platform, FontModule& module,
                             FontCatalogue& catalogue)
    : viewer_(viewer), platform_(platform), module_(module), catalogue_(catalogue), parts_(std::make_unique<Parts>())
{
}

ViewerWindows::~ViewerWindows() = default;

QIcon ViewerWindows::windowIcon() const
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x20, 0x40, 0x90));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(24);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("Q"));
    return QIcon(pixmap);
}

QWidget* ViewerWindows::makeHelpButton()
{
    auto* button = new QPushButton(QStringLiteral("?"), &viewer_);
    QObject::connect(button, &QPushButton::clicked, &viewer_, &Viewer::HelpButton_Click);
    return button;
}

void ViewerWindows::loadFontList()
{
}

void ViewerWindows::showFontDetails(const QString&, QPlainTextEdit& detailText, QLabel&)
{
    detailText.setPlainText(QString());
}

void ViewerWindows::showSplash() {}
void ViewerWindows::closeSplash() {}
void ViewerWindows::showSummary() {}
void ViewerWindows::closeSummary() {}
void ViewerWindows::showPrinterSetup() {}
void ViewerWindows::closePrinterSetup() {}
void ViewerWindows::showOptions() {}
void ViewerWindows::closeOptions() {}
void ViewerWindows::showAbout() {}
void ViewerWindows::closeAbout() {}

} // namespace quillon
