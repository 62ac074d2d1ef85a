#include "summary/Summary.h"

#include "base/WindowGeometry.h"
#include "controls/WindowsKeys.h"
#include "summary/PictureBox.h"
#include "summary/SummaryPainter.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace quillon {

namespace {

// Client area of the window, twips.
constexpr int kClientWidth = 5640;
constexpr int kClientHeight = 4395;

int keyCodeOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape:
        return WindowsKeys::kEscape;
    case Qt::Key_PageUp:
        return SummaryScroll::PageUp;
    case Qt::Key_PageDown:
        return SummaryScroll::PageDown;
    case Qt::Key_Up:
        return SummaryScroll::Up;
    case Qt::Key_Down:
        return SummaryScroll::Down;
    default:
        return 0;
    }
}

int shiftOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

Summary::Summary(const QStringList& fontNames, const QRect& ownerFrame, std::function<void()> endProgram,
                 QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      endProgram_(std::move(endProgram))
{
    setObjectName(QStringLiteral("Summary"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" Font Summary"));
    resize(px(kClientWidth), px(kClientHeight));

    FontPicture = new PictureBox(this);
    FontPicture->setObjectName(QStringLiteral("FontPicture"));
    FontPicture->setGeometry(pxRect(240, 240, 4905, 3855));

    VScroll = new QScrollBar(Qt::Vertical, this);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    VScroll->setGeometry(pxRect(5145, 225, 255, 3855));
    VScroll->setSingleStep(SummaryScroll::kSmallChange);
    VScroll->setPageStep(SummaryScroll::kLargeChange);
    // The page is redrawn when the thumb is let go, not at every step of a drag.
    VScroll->setTracking(false);
    // The window handles the arrow and page keys itself; a focused scroll bar would take them first.
    VScroll->setFocusPolicy(Qt::NoFocus);

    fontList = new QComboBox(this);
    fontList->setObjectName(QStringLiteral("fontList"));
    fontList->setEditable(true);
    fontList->setGeometry(pxRect(480, 4200, 1455, 315));
    fontList->setEditText(QStringLiteral("Combo1"));
    fontList->hide();

    setTabOrder(FontPicture, fontList);
    FontPicture->setFocus();

    Form_Load(fontNames, ownerFrame);
    connect(VScroll, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });
}

Summary::~Summary() = default;

void Summary::useFontSystem(platform::FontSystem* fonts, platform::FaceRasterizer* rasterizer)
{
    painter_->useFontSystem(fonts, rasterizer);
}

void Summary::Form_Load(const QStringList& fontNames, const QRect& ownerFrame)
{
    // The owner's outer rectangle and this window's size in twips; this window's frame is not known
    // before it is shown, so its client size stands for it.
    const QRectF owner(twips(ownerFrame.x()), twips(ownerFrame.y()), twips(ownerFrame.width()),
                       twips(ownerFrame.height()));
    const QPointF at = SummaryScroll::placement(owner, QSizeF(kClientWidth, kClientHeight));
    move(qRound(at.x() / kTwipsPerPixel), qRound(at.y() / kTwipsPerPixel));

    // A sorted list compares without regard to case; names equal but for case keep their order.
    QStringList sorted = fontNames;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    fontList->addItems(sorted);
    fontList->setEditText(QStringLiteral("Combo1"));

    faceCount_ = static_cast<int>(fontList->count());
    scroll_.setFaceCount(faceCount_);
    {
        const QSignalBlocker quiet(VScroll);
        VScroll->setRange(scroll_.min(), scroll_.max());
        VScroll->setValue(0);
    }
    topIndex_ = 0;
    labelFace_ = FontPicture->font().family();
    painter_ = std::make_unique<SummaryPainter>(labelFace_, &FontPicture->image());
}

const QImage& Summary::picture() const { return FontPicture->image(); }

void Summary::DrawSummary()
{
    ++drawCount_;
    FontPicture->Cls();
    QImage& image = FontPicture->image();
    QPainter painter(&image);
    const QColor text = FontPicture->foreColor();
    const QColor background = FontPicture->backColor();
    drawnRows_ = SummaryScroll::pageRows(topIndex_, faceCount_);
    for (int index : drawnRows_)
        painter_->drawRow(painter, index - topIndex_, fontList->itemText(index), text, background);
    painter.end();
    FontPicture->update();
}

void Summary::VScroll_Change()
{
    topIndex_ = VScroll->value();
    DrawSummary();
}

void Summary::Form_Activate() { DrawSummary(); }

void Summary::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode == WindowsKeys::kEscape) {
        close();
        if (shift > 0 && endProgram_) endProgram_();
        return;
    }
    scroll_.setValue(VScroll->value());
    const int target = scroll_.valueForKey(keyCode);
    // Assigning the value the bar already has raises no change, so the page is not redrawn.
    if (target != VScroll->value()) VScroll->setValue(target);
}

void Summary::keyPressEvent(QKeyEvent* event)
{
    const int code = keyCodeOf(event->key());
    if (code == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Form_KeyDown(code, shiftOf(event->modifiers()));
}

void Summary::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void Summary::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The first page normally comes with the first activation; a desktop that does not hand the new window
    // the focus must still see it.
    if (drawCount_ == 0) DrawSummary();
}

} // namespace quillon
