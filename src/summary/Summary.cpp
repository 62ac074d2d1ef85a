#include "summary/Summary.h"

#include "base/WindowGeometry.h"
#include "controls/Accessibility.h"
#include "controls/WindowsKeys.h"
#include "summary/PictureBox.h"
#include "summary/SummaryAccessible.h"
#include "summary/SummaryPainter.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
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
    accessibility::installSummary();
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
    // A stop of the tab order, and a click gives it the focus. The window sees each key first and does not
    // take it, so a focused bar steps once more by itself: an arrow then moves two rows.
    VScroll->setFocusPolicy(Qt::StrongFocus);

    fontList = new QComboBox(this);
    fontList->setObjectName(QStringLiteral("fontList"));
    fontList->setEditable(true);
    fontList->setGeometry(pxRect(480, 4200, 1455, 315));
    fontList->setEditText(QStringLiteral("Combo1"));
    fontList->hide();

    accessibility::name(FontPicture, QStringLiteral("Faces"));
    accessibility::name(VScroll, QStringLiteral("Page through the faces"));

    setTabOrder(FontPicture, VScroll);
    setTabOrder(VScroll, fontList);
    FontPicture->setFocus();
    // Key preview: the window sees every key before the control that has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

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
    // The owner's outer rectangle and this window's outer size in twips; this window's frame is not known
    // before it is shown, so the usual frame is added to its client size.
    const QRectF owner(twips(ownerFrame.x()), twips(ownerFrame.y()), twips(ownerFrame.width()),
                       twips(ownerFrame.height()));
    const QPointF at = SummaryScroll::placement(
        owner, QSizeF(kClientWidth + kFrameExtraWidth, kClientHeight + kFrameExtraHeight));
    move(qRound(at.x() / kTwipsPerPixel), qRound(at.y() / kTwipsPerPixel));

    fillNames(fontNames, 0);
    labelFace_ = FontPicture->font().family();
    painter_ = std::make_unique<SummaryPainter>(labelFace_, &FontPicture->image());
}

void Summary::fillNames(const QStringList& fontNames, int top)
{
    // A sorted list compares without regard to case; names equal but for case keep their order.
    QStringList sorted = fontNames;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    fontList->clear();
    fontList->addItems(sorted);
    fontList->setEditText(QStringLiteral("Combo1"));

    faceCount_ = static_cast<int>(fontList->count());
    scroll_.setFaceCount(faceCount_);
    {
        const QSignalBlocker quiet(VScroll);
        VScroll->setRange(scroll_.min(), scroll_.max());
        VScroll->setValue(std::clamp(top, scroll_.min(), scroll_.max()));
    }
    topIndex_ = VScroll->value();
}

void Summary::setFontNames(const QStringList& fontNames)
{
    fillNames(fontNames, topIndex_);
    DrawSummary();
}

void Summary::setPrintAllFaces(std::function<void(const QStringList& faces)> print)
{
    printAllFaces_ = std::move(print);
}

QStringList Summary::faces() const
{
    QStringList list;
    list.reserve(fontList->count());
    for (int i = 0; i < fontList->count(); ++i) list << fontList->itemText(i);
    return list;
}

void Summary::setFindFaces(std::function<void()> find) { findFaces_ = std::move(find); }

QMenu* Summary::makeContextMenu()
{
    if (!printAllFaces_ && !findFaces_) return nullptr;
    auto* menu = new QMenu(this);
    if (printAllFaces_) {
        QAction* print = menu->addAction(QStringLiteral("Print All Faces\u2026"));
        print->setObjectName(QStringLiteral("printAllFacesAction"));
        // Queued: the menu has closed and is gone before the printer dialog opens over this window.
        connect(
            print, &QAction::triggered, this, [this] { printAllFaces_(faces()); }, Qt::QueuedConnection);
    }
    if (findFaces_) {
        QAction* find = menu->addAction(QStringLiteral("Find Faces\u2026"));
        find->setObjectName(QStringLiteral("findFacesAction"));
        connect(
            find, &QAction::triggered, this, [this] { findFaces_(); }, Qt::QueuedConnection);
    }
    return menu;
}

void Summary::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = makeContextMenu();
    if (!menu) {
        QWidget::contextMenuEvent(event);
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
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
    accessibility::summaryPageChanged(*FontPicture);
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

bool Summary::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    // Taken at the key's first stop only: a key the focused control leaves alone travels on to the window,
    // which must not act on it twice.
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != this) first = this;
    if (watched != first) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
        // Shift+F10 opens the context menu as the Menu key does (keyboards without that key rely on it),
        // over the picture, since the keyboard names no point.
        const QPoint at = FontPicture->geometry().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        menuEvent.ignore();
        contextMenuEvent(&menuEvent);
        if (menuEvent.isAccepted()) return true;
    }
    const int code = keyCodeOf(key->key());
    if (code == 0) return false;
    Form_KeyDown(code, shiftOf(key->modifiers()));
    // Escape has closed the window; the other keys go on to the focused control (a scroll bar steps too).
    return code == 27;
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
