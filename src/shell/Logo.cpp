#include "shell/Logo.h"

#include "base/WindowGeometry.h"
#include "controls/Captions.h"
#include "platform/SettingsStore.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace quillon {

const QString Logo::kCopyright = QStringLiteral("Copyright \u00A9 Brindlewick Software") + QChar(0x00AE);

namespace {

const QColor kCardColour(255, 0, 255);
const QColor kMessageColour(255, 255, 128);
const QColor kRimColour(64, 0, 64);

QFont labelFont(const QString& family, double points, bool bold = false, bool italic = false)
{
    QFont font;
    font.setFamilies({family});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A picture of `size` logical pixels drawn at the screen's resolution, in the 32 by 32 units the two
// pictures are designed in: stretched from 32 pixels it would be blurred at every size but 32 and scale 1.
QPixmap designPixmap(int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void toDesignUnits(QPainter& painter, int size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / 32.0, size / 32.0);
}

// A page with a large and a small letter: the program's own picture when none is given.
QPixmap drawnProgramIcon(const QString& serifFamily, int size, qreal ratio)
{
    QPixmap pixmap = designPixmap(size, ratio);
    QPainter painter(&pixmap);
    toDesignUnits(painter, size);
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(21, 2);
    page.lineTo(27, 8);
    page.lineTo(27, 30);
    page.lineTo(5, 30);
    page.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.drawLine(QPointF(21, 2), QPointF(21, 8));
    painter.drawLine(QPointF(21, 8), QPointF(27, 8));
    QFont serif;
    serif.setFamilies({serifFamily});
    serif.setPixelSize(17);
    serif.setBold(true);
    painter.setFont(serif);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRect(6, 9, 13, 19), Qt::AlignCenter, QStringLiteral("A"));
    serif.setPixelSize(12);
    serif.setItalic(true);
    painter.setFont(serif);
    painter.setPen(QColor(128, 0, 0));
    painter.drawText(QRect(16, 14, 10, 14), Qt::AlignCenter, QStringLiteral("a"));
    return pixmap;
}

// A magnifying glass over a letter: the second picture of the card.
QPixmap drawnLensIcon(const QString& serifFamily, int size, qreal ratio)
{
    QPixmap pixmap = designPixmap(size, ratio);
    QPainter painter(&pixmap);
    toDesignUnits(painter, size);
    QFont serif;
    serif.setFamilies({serifFamily});
    serif.setPixelSize(16);
    painter.setFont(serif);
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, 3, 16, 18), Qt::AlignCenter, QStringLiteral("g"));
    painter.setBrush(QColor(200, 230, 255, 110));
    painter.setPen(QPen(QColor(40, 40, 40), 2));
    painter.drawEllipse(QPointF(12, 12), 8.5, 8.5);
    painter.setPen(QPen(QColor(120, 70, 20), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(18.5, 18.5), QPointF(28, 28));
    return pixmap;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& twipsRect,
                  const QFont& font, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(pxRect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    label->setFont(font);
    label->setAlignment(alignment);
    // The label shows the card's colour through itself, so the card may also paint rounded corners.
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

// The message's yellow on the magenta card reads at 2.97:1 only; a dark rim around each letter keeps both
// colours and makes the letters stand out against what is directly behind them.
class OutlinedLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF metrics(font());
        QPainterPath path;
        path.addText(QPointF(0, metrics.ascent()), font(), text());
        painter.strokePath(path, QPen(kRimColour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, palette().color(QPalette::WindowText));
    }
};

QLabel* makeImage(QWidget* parent, const char* name, const QRect& twipsRect, const QPixmap& picture)
{
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(pxRect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    image->setScaledContents(true);
    if (!picture.isNull()) image->setPixmap(picture);
    return image;
}

} // namespace

Logo::Logo(const QIcon& programIcon, QWidget* parent, std::chrono::milliseconds hold,
           const QString& serifFamily)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), hold_(hold)
{
    setObjectName(QStringLiteral("Logo"));
    setWindowTitle(QString());
    // The card has no caption; a screen reader names it by the product and says what it is waiting for.
    setAccessibleName(QStringLiteral("Quillon"));
    setAccessibleDescription(QStringLiteral("PLEASE WAIT... Setting up display data"));
    setFixedSize(px(kWidth), px(kHeight));
    setFocusPolicy(Qt::NoFocus);

    paintRounded_ = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (paintRounded_) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, kCardColour);
        setPalette(palette);
        setAutoFillBackground(true);
    }

    Label[0] = makeLabel(this, "Label0", QStringLiteral("Quillon"), QRect(300, 240, 3375, 615),
                         labelFont(serifFamily, 24, false, true), Qt::AlignHCenter | Qt::AlignTop);
    // Both pictures at the size they are shown and the screen's resolution, so they are sharp at any scale.
    const int iconSize = px(900);
    const qreal ratio = devicePixelRatioF();
    const QPixmap icon = programIcon.isNull() ? drawnProgramIcon(serifFamily, iconSize, ratio)
                                              : programIcon.pixmap(QSize(iconSize, iconSize), ratio);
    Image2 = makeImage(this, "Image2", QRect(360, 960, 900, 900), icon);
    Image3 = makeImage(this, "Image3", QRect(1560, 960, 840, 840), QPixmap());
    Image1 =
        makeImage(this, "Image1", QRect(2700, 960, 900, 900), drawnLensIcon(serifFamily, iconSize, ratio));
    Label[2] = makeLabel(this, "Label2", QStringLiteral("Version 1.3"), QRect(1500, 1920, 975, 255),
                         captions::font(8.25), Qt::AlignHCenter | Qt::AlignTop);
    Label[3] = makeLabel(this, "Label3", QString(), QRect(0, 2160, 4005, 255), captions::font(9.75),
                         Qt::AlignHCenter | Qt::AlignTop);
    Message = new OutlinedLabel(QStringLiteral("PLEASE WAIT... Setting up display data"), this);
    Message->setObjectName(QStringLiteral("Message"));
    Message->setGeometry(pxRect(135, 2640, 3735, 285));
    Message->setFont(captions::font(8.25, true));
    Message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = Message->palette();
    palette.setColor(QPalette::WindowText, kMessageColour);
    Message->setPalette(palette);
}

bool Logo::wanted(platform::SettingsStore& settings)
{
    const QString value = settings.GetSetting(QStringLiteral("Quillon"), QStringLiteral("Settings"),
                                              QStringLiteral("ShowSplash"), QStringLiteral("1"));
    return valOf(value) == 1.0;
}

double Logo::valOf(const QString& text)
{
    QString s;
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r'))
            s += c;
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        s.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        const bool hex = s.at(1).toUpper() == QLatin1Char('H');
        qsizetype end = 2;
        while (end < s.size() &&
               (hex ? s.at(end).isDigit() || QStringLiteral("abcdefABCDEF").contains(s.at(end))
                    : s.at(end) >= QLatin1Char('0') && s.at(end) <= QLatin1Char('7')))
            ++end;
        bool ok = false;
        const qlonglong v = s.mid(2, end - 2).toLongLong(&ok, hex ? 16 : 8);
        return ok ? static_cast<double>(v) : 0.0;
    }
    qsizetype end = 0;
    if (end < s.size() && (s.at(end) == QLatin1Char('+') || s.at(end) == QLatin1Char('-'))) ++end;
    const qsizetype digitsFrom = end;
    while (end < s.size() && s.at(end).isDigit() && s.at(end).unicode() < 128) ++end;
    if (end < s.size() && s.at(end) == QLatin1Char('.')) {
        ++end;
        while (end < s.size() && s.at(end).isDigit() && s.at(end).unicode() < 128) ++end;
    }
    if (end == digitsFrom) return 0.0;
    bool ok = false;
    const double v = s.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

QRegion Logo::roundRegion(int width, int height)
{
    // Windows excludes a region's right and bottom edges: columns 1 .. width-1, rows 1 .. height-1.
    const int left = 1, top = 1, right = width, bottom = height;
    if (right - left <= 0 || bottom - top <= 0) return QRegion();
    const double rx = std::min(kCorner, right - left) / 2.0;
    const double ry = std::min(kCorner, bottom - top) / 2.0;
    QRegion region;
    int runStart = top, runInset = -1;
    auto flush = [&](int endRow) {
        if (runInset >= 0 && endRow > runStart && right - runInset > left + runInset)
            region += QRect(left + runInset, runStart, right - left - 2 * runInset, endRow - runStart);
    };
    for (int y = top; y < bottom; ++y) {
        // Distance of the row's centre into a corner ellipse's band, if it lies in one.
        const double centre = y + 0.5;
        double dy = 0;
        if (centre < top + ry)
            dy = top + ry - centre;
        else if (centre > bottom - ry)
            dy = centre - (bottom - ry);
        const double t = ry > 0 ? std::min(1.0, dy / ry) : 0.0;
        const int inset = static_cast<int>(std::lround(rx - rx * std::sqrt(1.0 - t * t)));
        if (inset != runInset) {
            flush(y);
            runStart = y;
            runInset = inset;
        }
    }
    flush(bottom);
    return region;
}

void Logo::holdFor(std::chrono::milliseconds span)
{
    const QDeadlineTimer deadline(span, Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(std::max<qint64>(1, deadline.remainingTime()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    }
}

void Logo::showSplash()
{
    Form_Load();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    Form_Activate();
}

void Logo::Form_Load()
{
    setWindowState(Qt::WindowNoState);
    Label[3]->setText(kCopyright);
    captions::fit(*this);
    ShapeWindow(this);
}

void Logo::Form_Activate()
{
    repaint();
    holdFor(hold_);
}

void Logo::ShapeWindow(QWidget* window)
{
    // A frameless window's outer size is its client size; twips to pixels rounds to the nearest pixel.
    window->setMask(roundRegion(px(kWidth), px(kHeight)));
    window->update();
}

void Logo::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!paintRounded_) return;
    QPainter painter(this);
    QPainterPath card;
    card.addRegion(roundRegion(width(), height()));
    painter.fillPath(card, kCardColour);
}

} // namespace quillon
